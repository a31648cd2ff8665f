// Network variables: declarations of FF_NeuralNetwork and LogicalNeuralNetwork variables and
// arrays, the lookup by name, and the element index after a network variable's name.
#include <cstdint>
#include <new>

#include "interpreter/keyword_codes.h"
#include "netscript/loriant_parser.h"
#include "netscript/script_messages.h"
#include "network/feed_forward_network.h"

namespace {

// An array this long is refused as if memory had run out: each element owns a network, and a
// declaration must never make the process allocate without bound.
constexpr int kMaxNetworkElements = 1 << 20;

bool Contains(const CDynaArray<int>& positions, int position) {
    for (int p : positions) {
        if (p == position) return true;
    }
    return false;
}

}  // namespace

int CLoriantParser::ExecuteNetworkDeclaration(int type) {
    for (;;) {
        if (!DeclareOneNetworkVariable(type)) return 0;
        if (ReadToken() != kw::kComma) {
            StepBackUnlessEnd();
            return 1;
        }
    }
}

int CLoriantParser::DeclareOneNetworkVariable(int type) {
    const int nameToken = ReadToken();
    if (nameToken != token::kUnknown && nameToken != token::kVariable && nameToken != token::kObjectVariable) {
        return FailWith(message::kKnownWordsCannotBeVariables);
    }
    const std::string name = word;
    // The tree lists the name: the count and a look-ahead over comments come after it.
    const WordRange nameRange = LastWordRange();
    if (ReadToken() != kw::kOpenBracket) {
        StepBackUnlessEnd();
        const int added = AddObjectVariable(name, type, 1, nameRange);
        return added > 0 ? 1 : added == 0 ? FailWith(message::kVariableRedefinition) : 0;
    }
    ScanMark afterBracket;
    Value count;
    if (!ReadIntegerBound(count, afterBracket)) return 0;
    const int added = AddObjectVariable(name, type, count.value.integer, nameRange);
    if (added == 0) return FailWith(message::kVariableRedefinition);
    if (added < 0) return 0;
    if (ReadToken() != kw::kCloseBracket) {
        RestorePosition(afterBracket);
        return FailExpected(kw::kCloseBracket);
    }
    return 1;
}

// 1 declared (or nothing to declare), 0 the name is already visible, -1 the declaration could not
// be stored whole: nothing of it stays in the table and the failure has been reported.
int CLoriantParser::AddObjectVariable(const std::string& name, int type, int count, WordRange treeRange) {
    if (LookupObjectVariable(name) >= 0) return 0;
    if (count < 1) return 1;
    ++objectNamesVersion;
    const int before = objectVariables.GetCount();
    auto refuse = [&]() {
        for (int i = before; i < objectVariables.GetCount(); ++i) objectVariables[i] = ObjectVariable();
        objectVariables.SetSize(before);
        const std::string text = DynaArrayOutOfMemoryText(objectVariables.GetName());
        ShowDynaArrayOutOfMemory(objectVariables.GetName());
        FailWith(text);
        return -1;
    };
    // Room for the whole array first, so that no growth can fail halfway through it.
    const std::int64_t needed = static_cast<std::int64_t>(before) + count;
    if (count > kMaxNetworkElements || needed + objectVariables.GetGrowBy() + 2 > INT32_MAX) return refuse();
    if (needed >= objectVariables.GetCapacity() - 1) {
        objectVariables.SetSize(static_cast<int>(needed));
        if (objectVariables.GetCount() != needed) return refuse();
        objectVariables.SetSize(before);
    }
    try {
        for (int i = 1; i <= count; ++i) {
            ObjectVariable record;
            record.name = name;
            record.type = type;
            record.index = i;
            record.count = count;
            record.scope = scope;
            // Networks are made in a run only; the check pass only checks the uses.
            if (execute) {
                record.CreateNetwork();
                if (!record.HasNetwork()) return refuse();
                // Builds and simulations report on this run's "Simulation:" bar.
                if (record.FeedForward() != nullptr) record.FeedForward()->SetView(view);
            }
            if (!objectVariables.Add(std::move(record))) return refuse();
        }
    } catch (const std::bad_alloc&) {
        return refuse();
    }
    if (!execute && !Contains(treePositions, position)) {
        treePositions.Add(position);
        view->AddNetworkToTree(objectVariables[before], count, treeRange.start, treeRange.length);
    }
    return 1;
}

int CLoriantParser::FindObjectVariable(const char* word) { return LookupObjectVariable(word); }

int CLoriantParser::LookupObjectVariable(std::string_view name) const {
    int i = objectVariables.GetCount() - 1;
    while (i >= 0) {
        const int first = i - objectVariables[i].index + 1;
        if (first < 0 || first > i) return -1;  // cannot happen: arrays are stored whole
        const ObjectVariable& record = objectVariables[first];
        if (record.name == name && (execute || std::string_view(scope).starts_with(record.scope))) return first;
        i = first - 1;
    }
    return -1;
}

int CLoriantParser::GetUpperBound(int firstRecord) const { return objectVariables[firstRecord].count - 1; }

int CLoriantParser::NextTokenValue() {
    // Only an extension keyword names a member; any other word is no member, whatever id an
    // earlier word left behind.
    return ReadToken() == token::kObjectKeyword ? objectKeywordId : -2;
}

int CLoriantParser::EvaluateArrayIndex(int firstRecord) {
    if (GetUpperBound(firstRecord) == 0) return firstRecord + 1;
    const int element = ReadElementIndex(objectVariables[firstRecord].count);
    return element > 0 ? firstRecord + element : 0;
}
