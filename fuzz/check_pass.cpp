// Arbitrary bytes checked as a script by the network interpreter's check pass, as Compile does it
// for the editor: no worker thread, and in the check pass no statement touches a file, a window
// or the clock. No crash, no hang, no sanitizer report; the pass ends with its flags cleared.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "view/null_view.h"
#include "base/dyna_array.h"
#include "netscript/loriant_parser.h"

namespace {

// Tables past this many slots are refused as if memory had run out, so that a declared array of
// a billion elements is a reported error here rather than the fuzzer's memory limit.
constexpr std::size_t kMaxTableSlots = 200000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DynaArrayAllocation::failHook = [](std::size_t slots) { return slots > kMaxTableSlots; };
    NullView view;
    CLoriantParser parser(&view);
    parser.sleepScale = 0;
    parser.SetSource(std::string(reinterpret_cast<const char*>(data), size));
    static const int kOptions[4] = {1, 0, 0, 0};
    parser.Compile(kOptions);
    if (parser.running || parser.execute) std::abort();
    return 0;
}
