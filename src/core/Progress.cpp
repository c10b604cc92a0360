#include "core/Progress.h"

namespace {

int depth = 0;

std::function<void(bool)>& cursorHandler() {
    static std::function<void(bool)> handler;
    return handler;
}

}  // namespace

THourglass::THourglass() {
    if (depth++ == 0 && cursorHandler())
        cursorHandler()(true);
}

THourglass::~THourglass() {
    if (--depth == 0 && cursorHandler())
        cursorHandler()(false);
}

void THourglass::SetCursorHandler(std::function<void(bool busy)> handler) {
    cursorHandler() = std::move(handler);
}

bool THourglass::Busy() {
    return depth > 0;
}
