#include "image/WriteHook.h"

namespace chipshift {
namespace {
BeforeWriteHook& hook() {
    static BeforeWriteHook h;
    return h;
}
}  // namespace

BeforeWriteHook setBeforeWriteHook(BeforeWriteHook h) {
    BeforeWriteHook old = std::move(hook());
    hook() = std::move(h);
    return old;
}

void runBeforeWriteHook(const std::string& path) {
    if (hook()) hook()(path);
}

}  // namespace chipshift
