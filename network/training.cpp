// Batch back-propagation training of a feed-forward network (CFeedForwardNeuralNetwork::Train)
// and the shuffling of the pair order (ShufflePairs).
//
// Each training pass presents every training pair once in shuffled order, sums the weight
// gradients of all pairs and then changes every weight once; after each report interval one
// testing pass measures the network on the testing pairs. The pairs of a pass are computed in
// chunks, each shared among threads (pass_chunk.h), in exactly the order of the neuron-by-neuron
// formulation; what depends on the pair order (the error sums, the error texts) and everything
// the view sees stay on the training's thread. The working state is made once per call.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "view/view_services.h"
#include "base/number_text.h"
#include "network/feed_forward_network.h"
#include "network/layer_kernels.h"
#include "network/pass_chunk.h"
#include "network/training_threads.h"
#include "network/transfer_function.h"
#include "network/training_work.h"
#include "platform/crt_runtime.h"

namespace {

constexpr double kNoPreviousError = 1e11;
constexpr int kTrainingPhase = 1;
constexpr int kTestingPhase = 2;
const char kLinearFunctionError[] =
    "Error: Choose non-linear Functions for training. (eg. FCN_LOGSIG , FCN_TANSIG )";

// The inputs (n per pair) and targets (M per pair) of one pair table. Inputs are read where the
// pairs keep them; only a pair whose input matrix cannot give all n has a copy (zeros where the
// matrix has no value), so a training holds no second copy of a large pair table.
struct PairData {
    std::vector<const double*> inputs;
    std::vector<double> copies;
    std::vector<double> targets;
    // Pairs whose input matrix is too small: the range error each presentation reports.
    std::unordered_map<int, std::string> inputErrors;

    void Load(const CDynaArray<TrainingPair>& pairs, int n, int m, std::string& errorText) {
        const int count = pairs.GetCount();
        targets.assign(static_cast<std::size_t>(count) * m, 0.0);
        inputs.assign(static_cast<std::size_t>(count), nullptr);
        const auto readable = [n](const CMatrix& input) {
            return input.IsAllocated() && input.GetRows() >= 1 && input.GetCols() >= n;
        };
        int unreadable = 0;
        for (int p = 0; p < count; ++p) {
            const TrainingPair& pair = pairs[p];
            for (int k = 0; k < m; ++k) targets[Index(p, m, k)] = pair.target.GetAt(0, k, errorText);
            if (readable(pair.input)) {
                inputs[static_cast<std::size_t>(p)] = pair.input.Row(0);
            } else {
                ++unreadable;
            }
        }
        copies.assign(static_cast<std::size_t>(unreadable) * n, 0.0);
        int copy = 0;
        for (int p = 0; p < count && copy < unreadable; ++p) {
            if (readable(pairs[p].input)) continue;
            double* values = copies.data() + Index(copy++, n, 0);
            std::string inputError;
            for (int k = 0; k < n; ++k) values[k] = pairs[p].input.GetAt(0, k, inputError);
            inputs[static_cast<std::size_t>(p)] = values;
            if (!inputError.empty()) inputErrors.emplace(p, std::move(inputError));
        }
    }
    static std::size_t Index(int pair, int width, int k) {
        return static_cast<std::size_t>(pair) * static_cast<std::size_t>(width) + static_cast<std::size_t>(k);
    }
};

class TrainingRun {
public:
    TrainingRun(CFeedForwardNeuralNetwork& net, std::string& errorText, ViewServices* view)
        : net_(net), errorText_(errorText), view_(view) {}

    int Run();

private:
    void SetUp();
    void RunPass();
    void ComputePairs(const PairData& data, int size, bool training);
    void NoteErrors(const PairData& data, int p, bool training);
    void AddError(int p, int i);
    void TestPair(int p, int i);
    void ShowLastPair(const PairData& data, int p, int row);
    void EndTrainingPass();
    void AdaptLearningConstant();
    void UpdateWeights();
    void SendCurves();
    void TestForStop();
    void Report();
    void EndTestingPass();
    void ShowPassProgress(long passStart);
    void WaitWhilePaused();
    bool Flag(const std::atomic<int> ViewServices::*flag) const { return view_ != nullptr && (view_->*flag).load() != 0; }

    CFeedForwardNeuralNetwork& net_;
    std::string& errorText_;
    ViewServices* view_;

    int P_ = 0, T_ = 0, L_ = 0, M_ = 0, n_ = 0;
    int function_ = 0;
    bool linearFunction_ = false;  // every training pair's deltas report the function
    long long pairWork_[2] = {0, 0};  // multiply-adds of a testing and a training pair
    int updateEpochs_ = 1;
    PairData training_, testing_;
    TrainingWork work_;
    std::vector<int> order_;
    std::vector<const double*> lastOutputs_;  // per layer, the row of the pass's last pair

    int phase_ = kTrainingPhase;
    int epochs_ = 0;
    double E_ = 0.0;
    double previousE_ = kNoPreviousError;
    double shownE_ = kNoPreviousError;
    double rate_ = 0.0;
    double testValue_ = 0.0;
    double S_ = 0.0;
    int classification_ = 1;
    bool goalReached_ = false;
    bool limitReached_ = false;
    bool stop_ = false;
    bool finalTestDone_ = false;
    bool firstTestPointSent_ = false;
};

int TrainingRun::Run() {
    if (view_) view_->BeginTrainingDisplay(net_);
    P_ = net_.GetTrainingPairs().GetCount();
    if (P_ == 0) {
        errorText_ = "Error: No \"Training Pairs\" defined yet.";
        return 0;
    }
    SetUp();
    if (view_) {
        view_->UpdateStructureWeights(nullptr, 1);
        if (view_->HasTrainingWindow()) crt::SleepMilliseconds(500);  // lets the window show itself first
        view_->SetStructureProgress2(-1, -1);
    }
    for (;;) {
        RunPass();
        if (stop_ && (finalTestDone_ || T_ == 0)) break;
    }
    if (view_) {
        view_->SetStructureProgress1(-1, -1);
        view_->SetStructureProgress2(-1, -1);
        view_->EndTrainingDisplay();
    }
    return errorText_.empty() ? 1 : 0;
}

void TrainingRun::SetUp() {
    T_ = net_.GetTestingPairs().GetCount();
    L_ = net_.GetLayerCount();
    M_ = net_.GetLayerSizeOrOutput(-1);
    n_ = net_.GetInputCount() - 1;
    if (n_ < 0) n_ = 0;
    function_ = net_.GetFunction();
    // Reports divide by the interval; below 1 it acts as 1.
    updateEpochs_ = net_.UpdateEpochs < 1 ? 1 : net_.UpdateEpochs;
    rate_ = net_.LearningConstant;
    training_.Load(net_.GetTrainingPairs(), n_, M_, errorText_);
    if (T_ > 0) testing_.Load(net_.GetTestingPairs(), n_, M_, errorText_);
    work_.Prepare(net_, std::max(P_, T_));
    for (const bool training : {false, true}) pairWork_[training] = PairWork(net_, training);
    linearFunction_ = function_ != FCN_LOGSIG && function_ != FCN_TANSIG;
    bool anyNeuron = false;
    for (int j = 0; j < L_; ++j) anyNeuron = anyNeuron || net_.GetLayerSize(j) > 0;
    linearFunction_ = linearFunction_ && anyNeuron;
    order_.resize(static_cast<std::size_t>(std::max(P_, T_)));
    lastOutputs_.resize(static_cast<std::size_t>(L_));
}

void TrainingRun::RunPass() {
    classification_ = 1;
    if (phase_ == kTestingPhase && T_ == 0) phase_ = kTrainingPhase;
    const bool training = phase_ == kTrainingPhase;
    const int size = training ? P_ : T_;
    S_ = 0.0;
    std::iota(order_.begin(), order_.begin() + size, 0);
    CFeedForwardNeuralNetwork::ShufflePairs(order_.data(), size);
    const long passStart = view_ ? crt::Clock() : 0;  // only the view's progress bar uses it
    const PairData& data = training ? training_ : testing_;
    ComputePairs(data, size, training);
    ShowLastPair(data, order_[static_cast<std::size_t>(size - 1)], (size - 1) % work_.ChunkPairs());
    if (training) {
        EndTrainingPass();
    } else {
        EndTestingPass();
    }
    ShowPassProgress(passStart);
    WaitWhilePaused();
}

// Chunk by chunk: the pairs' values and gradient sums on the threads, then the sums that run in
// pair order here.
void TrainingRun::ComputePairs(const PairData& data, int size, bool training) {
    if (training) work_.ClearGradients();
    work_.TransposeWeights(net_);
    PassChunk chunk;
    chunk.net = &net_;
    chunk.function = net_.GetFunction();
    chunk.gain = net_.Steepness;
    chunk.bias = net_.GetInputCount() > 0 ? net_.GetBias() : 0.0;
    chunk.inputs = data.inputs.data();
    chunk.inputWidth = n_;
    chunk.targets = data.targets.data();
    for (int first = 0; first < size; first += work_.ChunkPairs()) {
        chunk.pairs = order_.data() + first;
        chunk.count = std::min(work_.ChunkPairs(), size - first);
        ComputeChunk(work_, chunk, training, training_threads::ForWork(chunk.count * pairWork_[training]));
        for (int i = 0; i < chunk.count; ++i) {
            const int p = chunk.pairs[i];
            NoteErrors(data, p, training);
            if (L_ == 0) continue;
            if (training) {
                AddError(p, i);
            } else {
                TestPair(p, i);
            }
        }
    }
}

// The error texts of one presentation: a pair whose inputs could not be read, then (training)
// a function that cannot be trained.
void TrainingRun::NoteErrors(const PairData& data, int p, bool training) {
    if (!data.inputErrors.empty()) {
        const auto bad = data.inputErrors.find(p);
        if (bad != data.inputErrors.end()) errorText_ = bad->second;
    }
    if (training && linearFunction_) errorText_ = kLinearFunctionError;
}

// The network as the pass's last presentation leaves it: that pair's inputs and outputs.
void TrainingRun::ShowLastPair(const PairData& data, int p, int row) {
    for (int j = 0; j < L_; ++j) lastOutputs_[static_cast<std::size_t>(j)] = work_.Values(j + 1, row);
    net_.SetSimulatedState(data.inputs[static_cast<std::size_t>(p)], lastOutputs_.data());
}

// --- training pass ---

void TrainingRun::AddError(int p, int i) {
    const double* out = work_.Values(L_, i);
    const double* target = training_.targets.data() + PairData::Index(p, M_, 0);
    for (int k = 0; k < M_; ++k) S_ = S_ + (target[k] - out[k]) * (target[k] - out[k]);
}

void TrainingRun::EndTrainingPass() {
    E_ = std::sqrt(S_) / (static_cast<double>(P_) * M_);
    AdaptLearningConstant();
    UpdateWeights();
    ++epochs_;
    SendCurves();
    TestForStop();
    if (epochs_ % updateEpochs_ == 0 || stop_) Report();
}

void TrainingRun::AdaptLearningConstant() {
    if (net_.SmartLearningConstant == 0 || previousE_ == kNoPreviousError) return;
    if (E_ >= previousE_) {
        rate_ = net_.LearningConstant / 5;
    } else if (rate_ < net_.LearningConstant) {
        rate_ += (net_.LearningConstant - rate_) / 10;
    }
}

void TrainingRun::UpdateWeights() {
    for (int j = 0; j < L_; ++j) {
        NeuronLayer& layer = net_.GetLayer(j);
        kernels::ApplyGradient(layer.Weights(), work_.Gradient(j), layer.WeightCount(), static_cast<double>(P_), rate_);
    }
}

void TrainingRun::SendCurves() {
    if (net_.ShowStorms != 0 || epochs_ == 1 || E_ < shownE_) shownE_ = E_;
    if (view_) {
        view_->AddTrainingGraphPoint(0, shownE_, 0);
        view_->AddTrainingGraphPoint(1, rate_, 0);
    }
    previousE_ = E_;
}

void TrainingRun::TestForStop() {
    if (net_.LearningMaxError >= E_) goalReached_ = true;
    if (epochs_ >= net_.MaxEpochs) limitReached_ = true;
    stop_ = goalReached_ || limitReached_ || !errorText_.empty() || Flag(&ViewServices::stopLearning) ||
            Flag(&ViewServices::stopRequested);
}

void TrainingRun::Report() {
    if (view_) {
        view_->SetStructureProgress1(epochs_, net_.MaxEpochs);
        view_->UpdateTrainingStats(epochs_, net_.MaxEpochs, shownE_, net_.LearningMaxError, rate_,
                                   net_.LearningConstant);
        view_->UpdateStructureWeights(&net_, stop_ ? 1 : 0);
        if (net_.TextMessageLearning != 0) {
            const auto grouped = [](int count) {
                std::string text = std::to_string(count);
                return GroupDigits(text, 0);
            };
            const std::string line = "Epochs ........ " + grouped(epochs_) + " / " + grouped(net_.MaxEpochs) +
                                     "    ,    RMS error ......... " + FormatNumberTrimmed(shownE_) + " / " +
                                     FormatNumberTrimmed(net_.LearningMaxError);
            view_->OutputText(line, 1, 1, 0, 0);
        }
    }
    phase_ = kTestingPhase;
}

// --- testing pass ---

void TrainingRun::TestPair(int p, int i) {
    const double* out = work_.Values(L_, i);
    const double* target = testing_.targets.data() + PairData::Index(p, M_, 0);
    const double threshold = net_.CorrectOutputThreshold;
    bool wrong = false;
    for (int k = 0; k < M_; ++k) {
        const double o = out[k];
        const double t = target[k];
        if (t == 1.0) {
            wrong = wrong || o < threshold;
        } else if (t == -1.0) {
            wrong = wrong || o > -threshold;
        } else if (t == 0.0) {
            wrong = wrong || o <= -threshold || o >= threshold;
        } else {
            classification_ = 0;
            S_ = S_ + (t - o) * (t - o);
        }
    }
    if (wrong) S_ = S_ + 1.0;
}

void TrainingRun::EndTestingPass() {
    testValue_ = classification_ ? (T_ - S_) / T_ : std::sqrt(S_) / (static_cast<double>(T_) * M_);
    if (view_) {
        if (!firstTestPointSent_ && classification_) view_->AddTrainingGraphPoint(2, testValue_, 1);
        view_->AddTrainingGraphPoint(2, testValue_, classification_);
    }
    if (!firstTestPointSent_ && classification_) firstTestPointSent_ = true;
    if (stop_) {
        finalTestDone_ = true;
    } else {
        phase_ = kTrainingPhase;
    }
}

// --- after every pass ---

void TrainingRun::ShowPassProgress(long passStart) {
    if (view_ && crt::Clock() - passStart > 1500 / updateEpochs_)
        view_->SetStructureProgress2(epochs_ % updateEpochs_, updateEpochs_);
}

void TrainingRun::WaitWhilePaused() {
    while (Flag(&ViewServices::paused)) crt::SleepMilliseconds(1000);
}

}  // namespace

int CFeedForwardNeuralNetwork::Train(std::string& errorText, ViewServices* view) {
    return TrainingRun(*this, errorText, view).Run();
}

void CFeedForwardNeuralNetwork::ShufflePairs(int* order, int n) {
    if (n < 1) return;  // no pair to exchange: a draw could never differ
    const double count = n;
    const auto draw = [count] { return static_cast<int>(crt::Rand() * count / crt::kRandMax); };
    const int swaps = static_cast<int>(crt::Rand() * count / crt::kRandMax * 0.5 + n / 10 + 1.0);
    for (int s = 0; s < swaps; ++s) {
        int a = draw();
        int b = draw();
        while (b == a) b = draw();
        a = std::clamp(a, 0, n - 1);
        b = std::clamp(b, 0, n - 1);
        std::swap(order[a], order[b]);
    }
}
