// Training and testing pair text files: whitespace-separated numbers, each pair's inputs followed
// by its desired outputs; the line structure does not matter. The reader works like a stream
// read with fscanf("%s") and atof, token by token, with tokens of any length.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "base/number_text.h"
#include "network/feed_forward_network.h"
#include "platform/crt_file.h"

namespace {

const char kMismatch[] = "File Items Mismatch In Size.";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The text of a file read in text mode, consumed token by token. `AtEnd` is the stream's
// end-of-file indicator: set once a read ran into the end of the text (a token that ends with
// the text sets it; one followed by white space does not); a seek clears it.
class TokenStream {
public:
    explicit TokenStream(std::string text) : text_(std::move(text)) {}

    bool Next(std::string_view& token) {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsBlank(text_[pos_])) ++pos_;
        if (pos_ == text_.size()) atEnd_ = true;
        token = std::string_view(text_).substr(start, pos_ - start);
        return !token.empty();
    }
    bool AtEnd() const { return atEnd_; }
    std::size_t Tell() const { return pos_; }
    void Seek(std::size_t pos) {
        pos_ = pos;
        atEnd_ = false;
    }

private:
    std::string text_;
    std::size_t pos_ = 0;
    bool atEnd_ = false;
};

std::string ReadWholeText(crt::CrtFile& file) {
    std::string text;
    char chunk[65536];
    while (const std::size_t got = file.Read(chunk, 1, sizeof chunk)) text.append(chunk, got);
    return text;
}

std::string CurrentDirectory() {
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    return ec ? std::string() : cwd.string();
}

// Fills columns 0 .. count - 1 of row 0 from the next tokens; on a token that cannot be had,
// errorText becomes the mismatch text.
void ReadRow(TokenStream& stream, CMatrix& row, int count, std::string& errorText) {
    std::string_view token;
    for (int k = 0; k < count && errorText.empty(); ++k) {
        if (stream.AtEnd() || !stream.Next(token)) {
            errorText = kMismatch;
            return;
        }
        row.SetAt(0, k, DecimalTextToDouble(token), errorText);
    }
}

}  // namespace

int CFeedForwardNeuralNetwork::LoadPairsFromFile(int kind, const std::string& path, std::string& errorText) {
    errorText.clear();
    const std::unique_ptr<crt::CrtFile> file = crt::CrtFile::Open(path, "rt");
    if (!file) {
        errorText = "Error: File not found: \" " + path + " \"\r\n\r\nCurrent Directory:" + CurrentDirectory();
        return 0;
    }
    std::string text = ReadWholeText(*file);
    file->Close();

    const int inputs = std::max(GetInputCount() - 1, 0);
    const int outputs = std::max(GetLayerSizeOrOutput(-1), 0);
    if (inputs + outputs == 0) return 1;  // a pair of no values would never consume a token
    TokenStream stream(std::move(text));
    for (;;) {
        const std::size_t mark = stream.Tell();
        std::string_view probe;
        stream.Next(probe);
        if (stream.AtEnd()) break;
        stream.Seek(mark);

        TrainingPair pair;
        pair.input.Resize(1, inputs + 1);
        pair.target.Resize(1, outputs);
        ReadRow(stream, pair.input, inputs, errorText);
        pair.input.SetAt(0, inputs, GetBias(), errorText);
        ReadRow(stream, pair.target, outputs, errorText);
        if (!errorText.empty() || !AddPair(kind, pair)) break;
    }
    return errorText.empty() ? 1 : 0;
}
