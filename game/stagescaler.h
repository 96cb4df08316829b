// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's stage at any size: full screen on F11 (Escape or F11
// leave it), the whole stage scaled by one factor and centred on black, and
// the background picture drawn for the device pixels it covers.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

class QImage;
class QShortcut;
class QWidget;

class StageScaler : public QObject {
    Q_OBJECT
public:
    // Watches `window` (its size, its state, its painting); a child of it.
    explicit StageScaler(QWidget& window);

    // The stage's factor on a screen of `size`: as large as fits.
    static qreal fullScreenFactor(QSize size);
    // The text scale of dialogs over a stage at `stageFactor`: up to 2.
    static qreal dialogScaleFor(qreal stageFactor);

    void toggleFullScreen();
    // The window laid out at `factor` times its size; full screen keeps its own.
    void setScale(qreal factor);
    qreal factor() const { return m_factor; }
    QRect stageRect() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lay(qreal factor, QPoint origin);
    const QImage& picture() const;
    void paint();

    QWidget& m_window;
    qreal m_factor = 1;
    QPoint m_origin;
    QRect m_windowGeometry;                 // the window's place before full screen
    QShortcut* m_leaveFullScreen = nullptr; // Escape, in full screen only
};
