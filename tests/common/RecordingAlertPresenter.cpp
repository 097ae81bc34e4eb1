#include "RecordingAlertPresenter.h"

void RecordingAlertPresenter::present(const flk::AlertSpec &spec, std::function<void(int)> done)
{
    shown.append({ spec, done });
    if (answer >= 0)
        done(answer);
}

void RecordingAlertPresenter::close(int button)
{
    if (!shown.isEmpty() && shown.last().done) {
        auto done = shown.last().done;
        shown.last().done = nullptr;
        done(button);
    }
}
