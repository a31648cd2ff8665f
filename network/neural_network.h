// CNeuralNetwork: the layered network model: an input layer (its last neuron the bias neuron)
// and the computed layers in order, the last being the output layer, fully connected between
// consecutive layers with one more connection per neuron beyond layer 0 from the bias neuron.
//
// Every structure change rebuilds all connections with weights 0.0, so no connection ever refers
// to a neuron that is gone. Builds report their progress on the "Simulation:" bar of the view
// the network was given (none: nothing is reported).
#pragma once

#include <string>
#include <vector>

#include "network/neuron_layer.h"

class CMatrix;
class ViewServices;

class CNeuralNetwork {
public:
    CNeuralNetwork();
    // name, bias, TextMessageLearning, the view and every layer with its neurons and weights; not
    // the function code nor the simulated flag (both 0 in the copy). nullptr: the default network.
    explicit CNeuralNetwork(const CNeuralNetwork* source);
    CNeuralNetwork(const CNeuralNetwork& source) : CNeuralNetwork(&source) {}
    CNeuralNetwork& operator=(const CNeuralNetwork&) = delete;
    virtual ~CNeuralNetwork();

    // The view that receives the "Simulation:" reports of builds and simulations.
    void SetView(ViewServices* view) { view_ = view; }
    ViewServices* GetView() const { return view_; }

    // --- structure and parameters (each clears the simulated flag) ---
    // The input layer gets n + 1 neurons, the last the bias neuron (n < 0: no input neuron at
    // all). A changed count rebuilds the connections when any computed layer holds neurons.
    void SetInputCount(int n);
    // Makes `count` computed layers (below 0: none). A changed count rebuilds the connections
    // when any layer holds neurons; new layers have no neurons.
    void SetLayerCount(int count);
    // Layer `layer` gets `neurons` neurons (below 0: none), then everything is rebuilt. A layer
    // outside the table changes nothing.
    void SetLayerSize(int layer, int neurons);
    // count layers of sizes[0 .. count - 1] neurons, then everything is rebuilt.
    void SetLayers(int count, const int* sizes);
    void SetLayers(const std::vector<int>& sizes) { SetLayers(static_cast<int>(sizes.size()), sizes.data()); }
    void SetBias(double bias);
    void SetFunction(int code);
    // Full connectivity with all weights 0.0 and every computed neuron reset.
    void BuildConnections();

    // --- inputs and weights (the simulated flag stays) ---
    // Input neuron i (the bias neuron included) outputs x; any other i changes nothing.
    void SetInput(int i, double x);
    // Input neurons 0 .. n - 1 take row 0 of the matrix (CMatrix::GetAt: its range error text
    // lands in `error` and the value is then 0.0).
    void SetInputsFromMatrix(const CMatrix& values, std::string& error);
    // Weight c of neuron k of the layer := matrix element (c, k), for k in [firstNeuron,
    // endNeuron) and c in [firstConnection, endConnection); checked writes.
    void SetWeightsFromMatrix(const CMatrix& weights, std::string& error, int layer, int firstConnection,
                              int endConnection, int firstNeuron, int endNeuron);

    // --- getters ---
    // Input-layer neurons, the bias neuron included.
    int GetInputCount() const { return inputLayer_.GetNeuronCount(); }
    int GetLayerCount() const { return static_cast<int>(layers_.size()); }
    // Neuron count of a layer; 0 for a layer outside the table.
    int GetLayerSize(int layer) const;
    // The same; a negative layer means the output layer (0 when there is none).
    int GetLayerSizeOrOutput(int layer) const;
    // Connection count of the layer's first neuron (0 for a layer without neurons or outside).
    int GetLayerInputCount(int layer) const;
    // Output of a neuron; a negative layer means the output layer. A neuron outside its layer
    // shows the invalid-output message and yields 0.0; a layer outside the table yields 0.0.
    double GetNeuronOutput(int neuron, int layer) const;

    double GetBias() const { return bias_; }
    int GetFunction() const { return function_; }
    int IsSimulated() const { return simulated_; }
    const std::string& GetName() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    NeuronLayer& GetInputLayer() { return inputLayer_; }
    const NeuronLayer& GetInputLayer() const { return inputLayer_; }
    // Computed layer `layer`, 0-based; the caller keeps it inside 0 .. GetLayerCount() - 1.
    NeuronLayer& GetLayer(int layer) { return layers_[static_cast<std::size_t>(layer)]; }
    const NeuronLayer& GetLayer(int layer) const { return layers_[static_cast<std::size_t>(layer)]; }

    // Connections of all computed neurons (the bias connections included).
    long long GetConnectionTotal() const;

    // Non-zero: training prints its progress lines in the output pane.
    int TextMessageLearning = 0;

protected:
    // Input layer count without a rebuild (the file reader sets all structure, then rebuilds once).
    void ResizeInputLayer(int n);
    void ResizeLayerTable(int count);
    void ResizeLayer(int layer, int neurons);
    // Points every layer at its feeding layer, the bias neuron and the next layer.
    void LinkLayers();
    // The bias neuron outputs the bias and every computed layer's bias slot holds it.
    void FeedBias();
    void SetSimulated(int simulated) { simulated_ = simulated; }
    void ReportSimulation(const char* format, int layer, int layers) const;
    void EndSimulationReport() const;

private:
    bool HasLayer(int layer) const { return layer >= 0 && layer < GetLayerCount(); }
    bool AnyComputedNeuron() const;

    int function_ = 0;
    int simulated_ = 0;
    std::string name_ = "NoNameNeuralNetwork";
    double bias_ = 0.0;
    std::vector<NeuronLayer> layers_;
    NeuronLayer inputLayer_{true};
    ViewServices* view_ = nullptr;
};
