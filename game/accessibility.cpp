// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/accessibility.h"

#include "game/frmQuiz.h"

#include "platform/Shape.h"
#include "platform/platform.h"
#include "platform/screenreader.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A step of the prize ladder, read as one: its marker carries the whole row
// (number, amount, marker) and says whether the step is reached, which the
// eye sees by the marker being lit. It is there either way, with the row's
// place on the screen, so that the whole ladder can be read.
class LadderStep : public QAccessibleWidget {
public:
    LadderStep(Shape* marker, const frmQuiz* window, int level)
        : QAccessibleWidget(marker, QAccessible::StaticText), m_window(window), m_level(level)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = false;
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return widget()->accessibleName()
                + (widget()->isHidden() ? QStringLiteral(", nicht erreicht") : QStringLiteral(", erreicht"));
        return QAccessibleWidget::text(t);
    }
    QRect rect() const override
    {
        QRect row;
        const QWidget* parts[] = {m_window->ladderNumber(m_level), m_window->ladderAmount(m_level), widget()};
        for (const QWidget* part : parts)
            row |= QRect(part->mapToGlobal(QPoint(0, 0)), part->size());
        return row;
    }

private:
    const frmQuiz* m_window;
    int m_level;
};

// A label whose text is read as part of another node (a ladder step's number
// and amount, an audience share): not read a second time on its own.
class ReadElsewhere : public QAccessibleWidget {
public:
    explicit ReadElsewhere(QWidget* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        return s;
    }
};

// The clock, named by what it shows: "Uhrzeit 21:05:09". The label has the
// accessible name "Uhrzeit", so that its text changing every second sends no
// event: a screen reader reads the time when it is asked for it.
class Clock : public QAccessibleWidget {
public:
    explicit Clock(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return widget()->accessibleName() + QLatin1Char(' ') + static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// An audience bar: its value is the share it shows, in per cent.
class AudienceBar : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    AudienceBar(Shape* bar, const frmQuiz* window)
        : QAccessibleWidget(bar, QAccessible::ProgressBar), m_window(window)
    {
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return m_window->barPercent(static_cast<const Shape*>(widget())); }
    void setCurrentValue(const QVariant&) override {} // the audience has spoken
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    const frmQuiz* m_window;
};

// lblSicher, read as the amount it secures rather than as its short form.
class SecuredAmount : public QAccessibleWidget {
public:
    SecuredAmount(QLabel* label, const frmQuiz* window)
        : QAccessibleWidget(label, QAccessible::StaticText), m_window(window)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QStringLiteral("Gesicherter Betrag: %1 €").arg(platform::formatGrouped(m_window->SecuredAmount));
        return QAccessibleWidget::text(t);
    }

private:
    const frmQuiz* m_window;
};

// Asked while the window is still being built, so the controls are known by
// their names, which are set first.
QAccessibleInterface* gameWindowPart(const QString& className, QObject* object)
{
    if (className != QLatin1String("Shape") && className != QLatin1String("QLabel"))
        return nullptr;
    auto* widget = qobject_cast<QWidget*>(object);
    const auto* window = widget ? qobject_cast<const frmQuiz*>(widget->parentWidget()) : nullptr;
    if (!window)
        return nullptr;
    const QString name = widget->objectName();
    if (name == QLatin1String("lblSicher"))
        return new SecuredAmount(static_cast<QLabel*>(widget), window);
    if (name == QLatin1String("lblTime"))
        return new Clock(static_cast<QLabel*>(widget));
    if (auto* shape = qobject_cast<Shape*>(widget)) {
        if (name.startsWith(QLatin1String("ShpPub")))
            return new AudienceBar(shape, window);
        if (name.startsWith(QLatin1Char('S')))
            return new LadderStep(shape, window, QStringView(name).mid(1).toInt());
    }
    // The number and amount of a ladder step (Label8 to Label37), and the
    // audience's shares, which their bars carry as their values.
    const int labelNumber = name.startsWith(QLatin1String("Label")) ? QStringView(name).mid(5).toInt() : 0;
    if ((labelNumber >= 8 && labelNumber <= 37) || name.startsWith(QLatin1String("lblPublikum")))
        return new ReadElsewhere(widget);
    return nullptr;
}

} // namespace

void GameAccessibility::prepare()
{
    platform::useScreenReaderFixes();
    static const bool installed = [] {
        QAccessible::installFactory(gameWindowPart);
        return true;
    }();
    Q_UNUSED(installed);
}

GameAccessibility::GameAccessibility(frmQuiz& window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("gameAccessibility"));
    window.lblKandidatenname->setBuddy(window.txtName);
    const std::pair<Shape*, const char*> bars[] = {{window.ShpPubA, "Publikum A"},
                                                   {window.ShpPubB, "Publikum B"},
                                                   {window.ShpPubC, "Publikum C"},
                                                   {window.ShpPubD, "Publikum D"}};
    for (const auto& [bar, name] : bars)
        bar->setAccessibleName(QString::fromUtf8(name));
    for (QPushButton* joker : {window.cmdPublikum, window.cmdHalb, window.cmdHandy})
        joker->installEventFilter(this);
    window.lblTime->setAccessibleName(QStringLiteral("Uhrzeit"));
    m_announcer = new platform::Announcer(window.lblStatus);
}

bool GameAccessibility::eventFilter(QObject* watched, QEvent* event)
{
    // A joker that is no longer available says so; its caption stays its name.
    if (event->type() == QEvent::EnabledChange) {
        auto* joker = static_cast<QPushButton*>(watched);
        joker->setAccessibleDescription(joker->isEnabled() ? QString() : QStringLiteral("benutzt"));
    }
    return false;
}

void GameAccessibility::announceStatus(const QString& text)
{
    m_announcer->say(platform::Announcer::Status, text);
}

void GameAccessibility::announceStep(int level, bool secures)
{
    // What the ladder and the secured amount are read as, whatever the eye sees.
    QString step = m_window.marker(level)->accessibleName();
    if (secures)
        step += QStringLiteral(". ")
            + QAccessible::queryAccessibleInterface(m_window.lblSicher)->text(QAccessible::Name);
    announceStanding(step);
}

void GameAccessibility::announceStanding(const QString& text)
{
    m_announcer->say(platform::Announcer::Standing, text);
}

void GameAccessibility::announceQuestion()
{
    // The question as the eye takes it in: its text, then the answers in order.
    QString question = m_window.lblFrage->text();
    const std::pair<const QString*, const char*> answers[] = {{&store::field::AntwortA, " A: "},
                                                              {&store::field::AntwortB, ". B: "},
                                                              {&store::field::AntwortC, ". C: "},
                                                              {&store::field::AntwortD, ". D: "}};
    for (const auto& [field, letter] : answers)
        question += QLatin1String(letter) + frmQuiz::onScreen(store::fieldText(*m_window.QuizRecords, *field));
    m_announcer->say(platform::Announcer::Content, question);
}

void GameAccessibility::announceResult(const QString& text)
{
    m_announcer->say(platform::Announcer::Result, text);
}
