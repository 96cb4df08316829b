// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/inputguard.h"

#include "game/frmQuiz.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleHints>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <array>

namespace {

template <typename Widgets>
bool among(const Widgets& widgets, const QObject* object)
{
    return std::find(widgets.begin(), widgets.end(), object) != widgets.end();
}

std::array<QPushButton*, 4> answers(const frmQuiz& w) { return {w.cmdA, w.cmdB, w.cmdC, w.cmdD}; }

std::array<QPushButton*, 3> jokers(const frmQuiz& w) { return {w.cmdPublikum, w.cmdHalb, w.cmdHandy}; }

// A focus that comes or goes with the window's activation (a message box,
// another window) is no move of the player's.
bool moveOfThePlayer(const QFocusEvent* event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

// The keys that press a button.
bool pressesAButton(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Space || event->key() == Qt::Key_Select;
}

} // namespace

InputGuard::InputGuard(frmQuiz& window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("inputGuard"));
    m_clock.start();
    // The question is where the focus rests when no answer may have it:
    // reached by Tab too, and read by a screen reader as the focus comes.
    window.lblFrage->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(window.lblFrage, window.cmdA);
    QWidget* const watched[] = {&window,         window.lblFrage, window.cmdA,    window.cmdB,
                                window.cmdC,     window.cmdD,     window.txtName, window.cmdPublikum,
                                window.cmdHalb,  window.cmdHandy, window.cmdNeu,  window.cmdEdit,
                                window.cmdEnd};
    for (QWidget* w : watched)
        w->installEventFilter(this);
}

bool InputGuard::isAnswer(const QObject* object) const { return among(answers(m_window), object); }

bool InputGuard::isJoker(const QObject* object) const { return among(jokers(m_window), object); }

bool InputGuard::passFocusFromGreyed()
{
    // Qt asks for the next control when the focused one is greyed.
    QWidget* focus = m_window.focusWidget();
    if (!focus || focus->isEnabled() || !(isAnswer(focus) || isJoker(focus)))
        return false;
    if (isJoker(focus)) {
        QWidget* back = m_giveBack;
        m_giveBack = nullptr;
        if (back && back->isEnabled() && !isJoker(back)) {
            back->setFocus(Qt::OtherFocusReason);
            return true;
        }
        // The answer it came from is greyed too: it may come back this turn.
        toQuestion(back && isAnswer(back) ? back : nullptr);
        return true;
    }
    toQuestion(focus);
    return true;
}

void InputGuard::newGameBegan()
{
    // The press that began it went to a button or a message box, not to an
    // answer, and its time is not at hand here: the times of arrival count.
    m_pressEndedAt = 0;
    m_pressEndedArrival = m_clock.elapsed();
}

void InputGuard::toQuestion(QWidget* greyed)
{
    m_greyed = greyed;
    m_window.lblFrage->setFocus(Qt::OtherFocusReason);
    if (m_settling)
        return;
    m_settling = true;
    // Once everything the press set off has happened: a game that was lost
    // leaves the focus on "Neu".
    QMetaObject::invokeMethod(this, &InputGuard::settleFocus, Qt::QueuedConnection);
}

void InputGuard::settleFocus()
{
    m_settling = false;
    m_greyed = nullptr;
    const auto enabled = answers(m_window);
    if (m_window.focusWidget() != m_window.lblFrage
        || std::any_of(enabled.begin(), enabled.end(), [](const QWidget* a) { return a->isEnabled(); }))
        return;
    m_focusOwed = true;
    m_window.cmdNeu->setFocus(Qt::OtherFocusReason);
}

void InputGuard::watchFocus(QObject* watched, QEvent* event)
{
    const auto* focus = static_cast<QFocusEvent*>(event);
    if (watched == &m_window || !moveOfThePlayer(focus))
        return;
    if (event->type() == QEvent::FocusOut) {
        m_lastFocus = static_cast<QWidget*>(watched);
        return;
    }
    // A joker reached by Tab was chosen for itself; one that took the focus
    // by its access key or a click gives it back when it is done.
    if (isJoker(watched)) {
        if (focus->reason() == Qt::TabFocusReason || focus->reason() == Qt::BacktabFocusReason)
            m_giveBack = nullptr;
        else if (m_lastFocus != watched)
            m_giveBack = m_lastFocus;
    }
}

bool InputGuard::withinDoublePress(const QInputEvent* event) const
{
    // The events' own times where both have one: a press counts by when the
    // player made it, however late it is delivered. A key that a screen
    // reader has seen first comes without its time; then the times of
    // arrival count.
    if (m_pressEndedArrival < 0)
        return false;
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    const auto at = static_cast<qint64>(event->timestamp());
    if (at != 0 && m_pressEndedAt != 0)
        return at >= m_pressEndedAt && at - m_pressEndedAt < interval;
    return m_clock.elapsed() - m_pressEndedArrival < interval;
}

void InputGuard::notePressEnd(const QInputEvent* event)
{
    m_pressEndedAt = static_cast<qint64>(event->timestamp());
    m_pressEndedArrival = m_clock.elapsed();
}

bool InputGuard::secondPress(QObject* watched, QEvent* event)
{
    const bool onAnswer = isAnswer(watched);
    const auto* input = dynamic_cast<const QInputEvent*>(event);
    if (!input)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return onAnswer && withinDoublePress(input);
    case QEvent::MouseButtonRelease:
        if (onAnswer)
            notePressEnd(input);
        return false;
    case QEvent::KeyPress: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        // A letter judged by the window itself answers as it is pressed.
        const bool byWindow = watched == &m_window && QApplication::focusWidget() == &m_window
            && !key->text().isEmpty() && key->text().at(0).isPrint();
        if (!(onAnswer && pressesAButton(key)) && !byWindow)
            return false;
        if (key->isAutoRepeat() || withinDoublePress(input)) {
            notePressEnd(input); // a burst of presses goes on
            return true;
        }
        if (byWindow)
            notePressEnd(input);
        return false;
    }
    case QEvent::KeyRelease:
        if (onAnswer && pressesAButton(static_cast<const QKeyEvent*>(event)))
            notePressEnd(input);
        return false;
    default:
        return false;
    }
}

void InputGuard::paintQuestionFocus(QEvent* event)
{
    // The question as it paints itself, then the focus frame of the answers
    // around it, so that the eye finds the focus where the ear does.
    QLabel* question = m_window.lblFrage;
    static_cast<QObject*>(question)->event(event);
    QPainter p(question);
    QStyleOptionFocusRect frame;
    frame.initFrom(question);
    m_window.cmdA->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &p, question);
}

bool InputGuard::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        watchFocus(watched, event);
        return false;
    case QEvent::EnabledChange:
        if (isAnswer(watched) && static_cast<QWidget*>(watched)->isEnabled()) {
            auto* answer = static_cast<QWidget*>(watched);
            // The answer that had the focus is back within the same turn (the
            // fifty-fifty joker keeps it), or the answers return after a lost game.
            if (answer == m_greyed || m_focusOwed) {
                m_greyed = nullptr;
                m_focusOwed = false;
                answer->setFocus(Qt::OtherFocusReason);
            }
        }
        return false;
    case QEvent::Paint:
        if (watched == m_window.lblFrage && m_window.lblFrage->hasFocus()) {
            paintQuestionFocus(event);
            return true;
        }
        return false;
    default:
        return secondPress(watched, event);
    }
}
