// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/screen.h"

#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

// What the score, menu and high-score screens need of their windows besides
// showing them: the layout's labels, read and set by name. A click on a
// label reaches the screen from the window, through the screen's handlers.
class LayoutView : public virtual ScreenWindow {
  public:
    virtual QString caption(const QString& name) const = 0;
    virtual void setCaption(const QString& name, const QString& text) = 0;
    virtual bool isLabelVisible(const QString& name) const = 0;
    virtual void setLabelVisible(const QString& name, bool visible) = 0;
    // A picture the screen makes while it is shown; a null picture shows none.
    virtual void setPicture(const QString& name, const QImage& picture) = 0;

  protected:
    ~LayoutView() = default;
};

// The view of the tests without a window: labels are text by name, visible
// unless hidden, starting as the factory that made it fills them in.
class HeadlessLayoutView final : public LayoutView, public HeadlessWindow {
  public:
    QString caption(const QString& name) const override { return captions.value(name); }
    void setCaption(const QString& name, const QString& text) override { captions[name] = text; }
    bool isLabelVisible(const QString& name) const override { return !hidden.contains(name); }
    void setLabelVisible(const QString& name, bool visible) override {
        if (visible) {
            hidden.remove(name);
        } else {
            hidden.insert(name);
        }
    }

    void setPicture(const QString& name, const QImage& picture) override {
        pictures[name] = picture;
    }

    QHash<QString, QString> captions;
    QSet<QString> hidden;
    QHash<QString, QImage> pictures;
};
