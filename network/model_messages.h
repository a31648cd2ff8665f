// The messages that the network model shows when a caller passes an index it does not hold.
// A bad index never ends the application: the accessor reports and yields 0.0 or writes nothing.
#pragma once

#include <string>

enum class ConnectionAccess { kInput, kGetWeight, kSetWeight, kUpdateWeight };

// Shows the text of that access kind with k and the connection count, the first time in the
// process that this kind fails; later failures of the same kind show nothing.
void ReportInvalidConnection(ConnectionAccess access, int k, int connectionCount);
// "Fatal Error: Accessing Invalid Neuron Output.", every time.
void ReportInvalidNeuronOutput();
// "Cannot directly set a non-input neuron.", every time.
void ReportNonInputOutput();
// The growable tables' out-of-memory text for a table of the model ("Neurons", "Connections").
void ReportModelOutOfMemory(const std::string& tableName);
// Shows a message box with an OK button, owned by no window.
void ShowEngineMessage(const std::string& text);
