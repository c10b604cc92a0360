#pragma once
// Progress of a long picture load, and the hourglass cursor shown meanwhile. The user
// interface installs the cursor; without one nothing is shown.

#include <functional>

enum class TProgressStage { psStarting, psRunning, psEnding };

// Percentage 0 to 100. A handler may throw EQuietException to abort the load.
using TProgressEvent = std::function<void(TProgressStage stage, int percentDone)>;

// Shows the hourglass for its lifetime; nests.
class THourglass {
public:
    THourglass();
    ~THourglass();
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;

    // Called with true when the first hourglass appears and false when the last goes.
    static void SetCursorHandler(std::function<void(bool busy)> handler);
    static bool Busy();
};
