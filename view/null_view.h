// A view that shows nothing: for runs whose output nobody reads (benchmarks, fuzzing).
#pragma once

#include "view/view_services.h"

class NullView : public ViewServices {
public:
    void OutputText(const std::string&, int, int, int, int) override {}
};
