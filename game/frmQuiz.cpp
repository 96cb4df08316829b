// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game window itself: the objects that do what it does beside its
// procedures (screen reader, input guard, stage scale), the status line, and
// the window's own keys and closing. Its stage is built in stage.cpp.
#include "game/frmQuiz.h"

#include "game/accesscopy.h"

#include "editor/frmEditor.h"
#include "game/accessibility.h"
#include "game/inputguard.h"
#include "game/stagescaler.h"
#include "platform/platform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

// A fixed dialog frame with a title and a close box: no maximise or minimise
// button, on X11 and Wayland alike.
frmQuiz::frmQuiz() : frmQuiz(platform::programFile(store::kFileName)) {}

frmQuiz::frmQuiz(QString questionFile)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_questionFile(std::move(questionFile))
{
    platform::useFontSubstitutes();
    GameAccessibility::prepare();
    setObjectName(QStringLiteral("frmQuiz"));
    setWindowTitle(QStringLiteral("Plomberg - QUIZ nach Horst Mertigs Goldene Leiter"));
    setWindowIcon(platform::programIcon());
    setFixedSize(platform::px(15330), platform::px(6225));
    buildLayout();
    connectEvents();
    m_access = new GameAccessibility(*this);
    m_input = new InputGuard(*this);
    m_stage = new StageScaler(*this);
    cmdA->setFocus(Qt::OtherFocusReason);
}

frmQuiz::~frmQuiz() = default;

void frmQuiz::showStatus(const QString& text, bool spoken)
{
    lblStatus->setText(text);
    if (spoken)
        m_access->announceStatus(text);
}

void frmQuiz::toggleFullScreen() { m_stage->toggleFullScreen(); }

qreal frmQuiz::fullScreenFactor(QSize size) { return StageScaler::fullScreenFactor(size); }

qreal frmQuiz::dialogScaleFor(qreal stageFactor) { return StageScaler::dialogScaleFor(stageFactor); }

void frmQuiz::setStageScale(qreal factor) { m_stage->setScale(factor); }

QRect frmQuiz::stageRect() const { return m_stage->stageRect(); }

bool frmQuiz::focusNextPrevChild(bool next)
{
    return m_input->passFocusFromGreyed() || QWidget::focusNextPrevChild(next);
}

void frmQuiz::keyPressEvent(QKeyEvent* event)
{
    // A key typed while one of the controls has the focus belongs to that
    // control; only keys that reach the window itself are judged.
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus != this && isAncestorOf(focus)) {
        event->ignore();
        return;
    }
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() > 0xFF || !text.at(0).isPrint()) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    Form_KeyPress(text.at(0).unicode());
}

void frmQuiz::closeEvent(QCloseEvent* event)
{
    // Closing through the frame ends the program at once: no question, and
    // the question file is left to be closed by the end of the process.
    event->accept();
}
