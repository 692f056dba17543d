#include "present_check.h"

namespace {

// Constant-initialized, so a test build may set it from a static initializer.
PresentCheck hook = nullptr;

}  // namespace

void setPresentCheck(PresentCheck check) {
    hook = check;
}

PresentCheck presentCheck() {
    return hook;
}
