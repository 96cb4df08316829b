// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader learns of the game window beyond the captions and texts
// Qt already reports: the name box by its caption, the ladder markers as steps
// that are reached or not, the secured amount, the audience bars' shares, the
// used jokers, and every change of the status line.
#include "game/frmQuiz.h"

#include "platform/Shape.h"
#include "platform/platform.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A ladder marker: named by its step and amount when it is built; it tells
// whether the step is reached, which the eye sees by the marker being lit.
// It is reported as present either way, so that the whole ladder can be read.
class LadderMarker : public QAccessibleWidget {
public:
    explicit LadderMarker(QWidget* marker) : QAccessibleWidget(marker, QAccessible::StaticText) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = false;
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description)
            return widget()->isHidden() ? QStringLiteral("nicht erreicht") : QStringLiteral("erreicht");
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
    if (auto* shape = qobject_cast<Shape*>(widget)) {
        if (name.startsWith(QLatin1String("ShpPub")))
            return new AudienceBar(shape, window);
        if (name.startsWith(QLatin1Char('S')))
            return new LadderMarker(shape);
    }
    return nullptr;
}

} // namespace

void frmQuiz::useScreenReaderParts()
{
    // Before the first control is made: Qt keeps the description it makes of a
    // control from the first time it is asked for one.
    static const bool installed = [] {
        QAccessible::installFactory(gameWindowPart);
        return true;
    }();
    Q_UNUSED(installed);
}

void frmQuiz::describeForScreenReaders()
{
    lblKandidatenname->setBuddy(txtName);
    const std::pair<Shape*, const char*> bars[] = {
        {ShpPubA, "Publikum A"}, {ShpPubB, "Publikum B"}, {ShpPubC, "Publikum C"}, {ShpPubD, "Publikum D"}};
    for (const auto& [bar, name] : bars)
        bar->setAccessibleName(QString::fromUtf8(name));
    for (QPushButton* joker : {cmdPublikum, cmdHalb, cmdHandy})
        joker->installEventFilter(this);
}

bool frmQuiz::eventFilter(QObject* watched, QEvent* event)
{
    // A joker that is no longer available says so; its caption stays its name.
    if (event->type() == QEvent::EnabledChange) {
        auto* joker = qobject_cast<QPushButton*>(watched);
        if (joker == cmdPublikum || joker == cmdHalb || joker == cmdHandy)
            joker->setAccessibleDescription(joker->isEnabled() ? QString() : QStringLiteral("benutzt"));
    }
    return QWidget::eventFilter(watched, event);
}

void frmQuiz::showStatus(const QString& text)
{
    lblStatus->setText(text);
    // Also the line's description: the change is announced, so that a screen
    // reader hears "Game Over" or the countdown while the focus is elsewhere.
    lblStatus->setAccessibleDescription(text);
}
