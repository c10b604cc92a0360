#pragma once
// A long picture load (a big JPEG) runs on the one thread of the program. While it runs,
// its progress events let the windows repaint and take Esc, which aborts the load; other
// mouse and key input is dropped meanwhile, as the hourglass tells the user.

#include <QObject>
#include <functional>

class TResponsiveLoad : public QObject {
public:
    // Runs load; false when the user aborted it with Esc. Errors of load pass through.
    bool Run(const std::function<void()>& load);
    // For the progress handler of the load: lets pending events through and raises
    // EQuietException once Esc was pressed. Outside Run it does nothing.
    void KeepResponsive();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool running_ = false;
    bool aborted_ = false;
};
