// The autotune window, its run over the working data set and the live records it hears.
#include "app/main_form.h"
#include "autotune/autotune_session.h"
#include "autotune/autotune_window.h"

namespace zv::gui {

void TMainForm::WireAutotune() {
    autotune_ = std::make_unique<TAutotuneSession>(main_, timers_);
    autotune_->ConnectLive(*online_);
    autotuneWindow_ = new TAutotuneWindow(main_, *autotune_, dialogs_, this);
    // The map pages and the Edit menu show the applied step.
    autotuneWindow_->Applied = [this] {
        form_.LoadPagesFromImage();
        Render();
    };
}

void TMainForm::OpenAutotune() {
    autotuneWindow_->Render();
    autotuneWindow_->show();
    autotuneWindow_->raise();
    autotuneWindow_->activateWindow();
}

void TMainForm::OpenAutotuneWithLog(const std::string& path) {
    autotuneWindow_->OpenWithLog(path);
}

}  // namespace zv::gui
