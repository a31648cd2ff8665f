// Weights of an FF_NeuralNetwork layer, as a statement (net.Weights(layer [, neuron [, weight]])
// = matrix operand) and as a value. The work matrix of a layer has one row per incoming
// connection (the bias connection last) and one column per neuron.
#include "interpreter/keyword_codes.h"
#include "base/matrix.h"
#include "netscript/loriant_parser.h"
#include "netscript/script_messages.h"
#include "network/feed_forward_network.h"

int CLoriantParser::ReadWeightsSelection(CFeedForwardNeuralNetwork* net, WeightsSelection& selection, bool statement) {
    if (!Expect(kw::kOpenParen) || !ReadIntegerExpression(selection.layer)) return 0;
    int next = ReadToken();
    if (next == kw::kComma) {
        selection.hasNeuron = true;
        if (!ReadIntegerExpression(selection.neuron)) return 0;
        next = ReadToken();
        if (next == kw::kComma) {
            selection.hasWeight = true;
            if (!ReadIntegerExpression(selection.weight) || !Expect(kw::kCloseParen)) return 0;
            next = kw::kCloseParen;
        }
    }
    if (next != kw::kCloseParen) return FailWith(netmsg::kCommaOrParenExpected);
    if (!execute) return 1;

    const int layer = selection.layer;
    if (layer < 1 || layer > net->GetLayerCount()) {
        return FailWith(netmsg::Format(netmsg::kAccessingLayer, netmsg::kInvalidLayer, layer));
    }
    selection.neurons = net->GetLayerSize(layer - 1);
    selection.connections = net->GetLayerInputCount(layer - 1);
    if (selection.hasNeuron && (selection.neuron < 1 || selection.neuron > selection.neurons)) {
        return FailWith(netmsg::Format(netmsg::kAccessingNeuron, netmsg::kRuntimeErrorPrefix, selection.neuron, layer));
    }
    if (selection.hasWeight && (selection.weight < 1 || selection.weight > selection.connections)) {
        const char* format = statement ? netmsg::kSettingWeight : netmsg::kAccessingWeight;
        return FailWith(netmsg::Format(format, netmsg::kRuntimeErrorPrefix, selection.weight, selection.neuron, layer));
    }
    return 1;
}

int CLoriantParser::SetWeightsMember(CFeedForwardNeuralNetwork* net) {
    WeightsSelection selection;
    if (!ReadWeightsSelection(net, selection, true) || !Expect(kw::kEquals)) return 0;
    // The region the operand fills: the layer, one neuron's column, or one element.
    int rowFrom = 0, rowTo = selection.connections, colFrom = 0, colTo = selection.neurons;
    if (selection.hasNeuron) {
        colFrom = selection.neuron - 1;
        colTo = selection.neuron;
    }
    if (selection.hasWeight) {
        rowFrom = selection.weight - 1;
        rowTo = selection.weight;
    }
    CMatrix work(selection.connections, selection.neurons, "");
    if (!ReadMatrixOperand(work, rowFrom, rowTo, colFrom, colTo, false)) return 0;
    if (!execute) return 1;
    std::string ignored;  // the region lies inside the layer: no write can fail
    net->SetWeightsFromMatrix(work, ignored, selection.layer - 1, rowFrom, rowTo, colFrom, colTo);
    return 1;
}

int CLoriantParser::EvaluateWeights(CFeedForwardNeuralNetwork* net, Value& result) {
    WeightsSelection selection;
    if (!ReadWeightsSelection(net, selection, false)) return 0;
    if (!execute) {
        result.SetMatrix(new CMatrix(1, 1, ""));
        return 1;
    }
    // The value is what the indices select: the whole layer, one neuron's column, or one weight.
    const NeuronLayer& layer = net->GetLayer(selection.layer - 1);
    const int firstNeuron = selection.hasNeuron ? selection.neuron - 1 : 0;
    const int endNeuron = selection.hasNeuron ? selection.neuron : selection.neurons;
    const int firstWeight = selection.hasWeight ? selection.weight - 1 : 0;
    const int endWeight = selection.hasWeight ? selection.weight : selection.connections;
    auto* weights = new CMatrix(endWeight - firstWeight, endNeuron - firstNeuron, "");
    result.SetMatrix(weights);
    std::string ignored;
    for (int k = firstNeuron; k < endNeuron; ++k) {
        const Neuron neuron = layer.GetNeuron(k);
        for (int c = firstWeight; c < endWeight; ++c) weights->SetAt(c - firstWeight, k - firstNeuron, neuron.GetWeight(c), ignored);
    }
    return 1;
}
