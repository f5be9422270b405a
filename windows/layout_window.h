// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "screens/layout_view.h"
#include "windows/screen_widget.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPalette>

// The pieces the score, menu and high-score layouts are made of. The layouts
// name their pictures ("scoreBoard", "timesSign", ...) and each piece fetches
// its picture by that name.

// A picture at its natural size, drawn with no border and never taking the
// focus. Also serves as a window's background when it lies under everything.
class ArtImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString picture READ picture WRITE setPicture)
  public:
    explicit ArtImage(QWidget* parent = nullptr);
    QString picture() const { return m_name; }
    void setPicture(const QString& name);
    // A picture made while the window is shown, in place of a named one.
    void setImage(const QImage& image);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_name;
    QImage m_image;
};

// A picture inside a 2-pixel sunken three-dimensional border; labels and images lie in its
// drawing area, so their positions in the layout are 2 pixels further in.
class PictureBox : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString picture READ picture WRITE setPicture)
  public:
    explicit PictureBox(QWidget* parent = nullptr);
    QString picture() const { return m_name; }
    void setPicture(const QString& name);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_name;
    QImage m_image;
};

// A label that can be clicked while it is visible.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickLabel(QWidget* parent = nullptr) : QLabel(parent) {}

  Q_SIGNALS:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A screen's window built from a layout: it takes its fixed size from the
// layout, gives every label the pixel size its layout asks for (the
// "pixelSize" property, so the text is as large as designed at any screen
// resolution) and lets its screen read and set the labels by name.
class LayoutWindow : public ScreenWidget, public LayoutView {
    Q_OBJECT
  public:
    explicit LayoutWindow(Screen& screen);

    QString caption(const QString& name) const override;
    void setCaption(const QString& name, const QString& text) override;
    bool isLabelVisible(const QString& name) const override;
    void setLabelVisible(const QString& name, bool visible) override;
    void setPicture(const QString& name, const QImage& picture) override;

  protected:
    // Call after the layout has been set up.
    void finishLayout();

  private:
    QLabel* label(const QString& name) const;
};

// The palette that draws a sunken two-pixel edge (QFrame::WinPanel) in the
// desktop's classic bevel colours; the play field's layout uses the same.
QPalette sunkenEdgePalette(QPalette palette);

// The faces the layouts ask for, mapped to faces a Debian desktop has, at
// the same sizes. Safe to call more than once.
void installFontSubstitutions();
