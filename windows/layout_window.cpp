// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windows/layout_window.h"

#include "art/pictures.h"

#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

namespace {
QImage namedPicture(const QString& name) {
    QImage image = art::pictureNamed(name);
    if (image.isNull()) {
        // A layout naming a picture that does not exist is a build mistake.
        qFatal("spinmarsh: no picture named \"%s\"", qPrintable(name));
    }
    return image;
}
} // namespace

ArtImage::ArtImage(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void ArtImage::setPicture(const QString& name) {
    m_name = name;
    m_image = namedPicture(name);
    resize(m_image.size());
    update();
}

void ArtImage::setImage(const QImage& image) {
    m_image = image;
    resize(m_image.size());
    update();
}

void ArtImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setPalette(sunkenEdgePalette(palette()));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QString& name) {
    m_name = name;
    m_image = namedPicture(name);
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawImage(contentsRect().topLeft(), m_image);
    }
    QFrame::paintEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT clicked();
    }
}

LayoutWindow::LayoutWindow(Screen& screen) : ScreenWidget(screen) {
    installFontSubstitutions();
}

void LayoutWindow::finishLayout() {
    setFixedSize(size());
    for (QLabel* each : findChildren<QLabel*>()) {
        const QVariant pixels = each->property("pixelSize");
        if (pixels.isValid()) {
            QFont font = each->font();
            font.setPixelSize(pixels.toInt());
            each->setFont(font);
        }
    }
}

QLabel* LayoutWindow::label(const QString& name) const {
    auto* found = findChild<QLabel*>(name);
    if (found == nullptr) {
        qFatal("spinmarsh: the layout has no label \"%s\"", qPrintable(name));
    }
    return found;
}

QString LayoutWindow::caption(const QString& name) const {
    return label(name)->text();
}

void LayoutWindow::setCaption(const QString& name, const QString& text) {
    label(name)->setText(text);
}

bool LayoutWindow::isLabelVisible(const QString& name) const {
    return !label(name)->isHidden();
}

void LayoutWindow::setLabelVisible(const QString& name, bool visible) {
    label(name)->setVisible(visible);
}

void LayoutWindow::setPicture(const QString& name, const QImage& picture) {
    auto* image = findChild<ArtImage*>(name);
    if (image == nullptr) {
        qFatal("spinmarsh: the layout has no picture \"%s\"", qPrintable(name));
    }
    image->setImage(picture);
}

QPalette sunkenEdgePalette(QPalette palette) {
    // The classic desktop bevel: grey over near-black along the top and left,
    // white over light grey along the bottom and right. Fixed, not taken from
    // the window's own colours: the score screen's window is black, which
    // would swallow half of the edge.
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Dark, QColor(128, 128, 128));
        palette.setColor(group, QPalette::Shadow, QColor(64, 64, 64));
        palette.setColor(group, QPalette::Light, QColor(255, 255, 255));
        palette.setColor(group, QPalette::Midlight, QColor(212, 208, 200));
    }
    return palette;
}

void installFontSubstitutions() {
    static const bool done = [] {
        // A geometric display face whose narrow figures keep "10000" inside
        // its 65-pixel box.
        QFont::insertSubstitutions(QStringLiteral("Stop"),
                                   {QStringLiteral("URW Gothic"), QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"),
                                   {QStringLiteral("Comic Neue"), QStringLiteral("DejaVu Sans")});
        // A light pen-written face with broad-nib strokes for the holder's name.
        QFont::insertSubstitutions(QStringLiteral("Tempus Sans ITC"),
                                   {QStringLiteral("Rufscript"), QStringLiteral("Comic Neue"),
                                    QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                                   {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
        return true;
    }();
    (void)done;
}
