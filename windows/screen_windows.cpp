// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windows/screen_windows.h"

#include "ui_form2.h"
#include "ui_form3.h"
#include "ui_form4.h"
#include "ui_records.h"
#include "windows/layout_window.h"
#include "windows/play_window.h"

namespace {

// A window laid out by uic's class for its layout.
template <typename Layout> class FormWindow : public LayoutWindow {
  public:
    explicit FormWindow(Screen& screen) : LayoutWindow(screen) {
        ui.setupUi(this);
        finishLayout();
    }
    Layout ui;
};

class Form3Window : public FormWindow<Ui::Form3> {
  public:
    explicit Form3Window(Form3& form) : FormWindow(form) {
        onClick(ui.Label1, form, &Form3::Label1_Click);
        onClick(ui.Label2, form, &Form3::Label2_Click);
        onClick(ui.Label3, form, &Form3::Label3_Click);
        onClick(ui.Label4, form, &Form3::Label4_Click);
    }

  private:
    // A hidden label gets no clicks, so only the word shown can be clicked.
    // The menu may be gone by the time a click is handled.
    void onClick(ClickLabel* label, Form3& form, void (Form3::*handler)()) {
        connect(label, &ClickLabel::clicked, this, [this, &form, handler] {
            if (screen() != nullptr) {
                (form.*handler)();
            }
        });
    }
};

} // namespace

LayoutView* scoreWindow(Form2& form) {
    return new FormWindow<Ui::Form2>(form);
}

LayoutView* menuWindow(Form3& form) {
    return new Form3Window(form);
}

LayoutView* highScoreWindow(Form4& form) {
    return new FormWindow<Ui::Form4>(form);
}

LayoutView* recordsWindow(RecordsScreen& screen) {
    return new FormWindow<Ui::RecordsScreen>(screen);
}

ScreenSet::Views windowViews() {
    return ScreenSet::Views{[](Form1& form) { return new PlayWindow(form); }, &scoreWindow,
                            &menuWindow, &highScoreWindow, &recordsWindow};
}
