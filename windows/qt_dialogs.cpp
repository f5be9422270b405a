// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windows/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace {
const QString kTitle = QStringLiteral("Spinmarsh");
}

void QtDialogs::MsgBox(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok);
    box.exec();
}

QString QtDialogs::InputBox(const QString& prompt, const QString& title,
                            const QString& defaultText) {
    QString label = prompt;
    label.replace(QChar('\r'), QChar('\n'));
    bool ok = false;
    const QString text =
        QInputDialog::getText(nullptr, title, label, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}
