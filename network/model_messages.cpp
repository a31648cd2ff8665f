#include "network/model_messages.h"

#include <atomic>
#include <cstdio>

#include "platform/desktop.h"

namespace {

// One shown flag per access kind, process-wide and never cleared.
std::atomic<bool> g_shown[4];

const char* AccessFormat(ConnectionAccess access) {
    switch (access) {
    case ConnectionAccess::kInput:
        return "FATAL ERROR: Accessing Invalid Input (%.f of %.0f).";
    case ConnectionAccess::kGetWeight:
        return "FATAL ERROR: Getting Invalid Weight (%.f of %.0f).";
    case ConnectionAccess::kSetWeight:
        return "FATAL ERROR: Setting Invalid Weight (%.f of %.0f).";
    case ConnectionAccess::kUpdateWeight:
        break;
    }
    return "FATAL ERROR: Updating Invalid Weight (%.f of %.0f).";
}

}  // namespace

void ShowEngineMessage(const std::string& text) {
    desktop::Current().MessageBox(nullptr, text, "Kestrum", desktop::kOk);
}

void ReportInvalidConnection(ConnectionAccess access, int k, int connectionCount) {
    if (g_shown[static_cast<int>(access)].exchange(true)) return;
    char text[128];
    std::snprintf(text, sizeof text, AccessFormat(access), static_cast<double>(k),
                  static_cast<double>(connectionCount));
    ShowEngineMessage(text);
}

void ReportInvalidNeuronOutput() { ShowEngineMessage("Fatal Error: Accessing Invalid Neuron Output."); }

void ReportNonInputOutput() { ShowEngineMessage("Cannot directly set a non-input neuron."); }

void ReportModelOutOfMemory(const std::string& tableName) {
    ShowEngineMessage("ERROR : Not Enough Memory For \" " + tableName + " \".");
}
