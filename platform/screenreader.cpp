// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/screenreader.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// The hidden node that carries the announcements.
class AnnouncementNode : public QWidget {
public:
    using QWidget::QWidget;
    QString text;
};

class Notification : public QAccessibleWidget {
public:
    explicit Notification(AnnouncementNode* node) : QAccessibleWidget(node, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const AnnouncementNode*>(widget())->text;
        return QAccessibleWidget::text(t);
    }
};

// A window's status line, read as its status bar: screen readers have a key
// that reads the status bar, and speak its notifications without a role name.
class StatusLine : public QAccessibleWidget {
public:
    explicit StatusLine(QLabel* label) : QAccessibleWidget(label, QAccessible::StatusBar) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// A line edit as Qt describes it, with two faults of Qt 6.4 corrected:
// - it reports the text attributes of every offset as an empty run at that
//   offset; Orca joins the runs and so reads a box without its last
//   character ("Horst Merti"). A line edit has one run: its whole text.
// - asked for the word or sentence at the end of the text (where the caret
//   stands after typing), it looks for the next boundary past the end forever
//   and freezes the program. The end belongs to the last word or sentence.
class LineEdit : public QAccessibleWidget, public QAccessibleTextInterface, public QAccessibleEditableTextInterface {
public:
    explicit LineEdit(QLineEdit* edit) : QAccessibleWidget(edit, QAccessible::EditableText) {}

    QLineEdit* edit() const { return static_cast<QLineEdit*>(widget()); }
    QString shown() const { return edit()->displayText(); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        QString s = t == QAccessible::Value ? shown() : QString();
        if (s.isEmpty())
            s = QAccessibleWidget::text(t);
        if (s.isEmpty() && t == QAccessible::Description)
            s = edit()->placeholderText();
        return s;
    }
    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t == QAccessible::Value)
            edit()->setText(text);
        else
            QAccessibleWidget::setText(t, text);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = edit()->isReadOnly();
        s.editable = !edit()->isReadOnly();
        s.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        s.selectableText = true;
        return s;
    }

    // --- Text.
    QString text(int start, int end) const override { return start > end ? QString() : shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return QString();
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override
    {
        if (offset == -2)
            offset = cursorPosition();
        const int length = characterCount();
        if (length > 0 && offset >= length
            && (boundary == QAccessible::WordBoundary || boundary == QAccessible::SentenceBoundary))
            offset = length - 1;
        return QAccessibleTextInterface::textAtOffset(offset, boundary, start, end);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override
    {
        return QAccessibleTextInterface::textBeforeOffset(offset == -2 ? cursorPosition() : offset, boundary, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override
    {
        return QAccessibleTextInterface::textAfterOffset(offset == -2 ? cursorPosition() : offset, boundary, start, end);
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index != 0)
            return;
        *start = edit()->selectionStart();
        *end = *start + static_cast<int>(edit()->selectedText().size());
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            edit()->setSelection(start, end - start);
    }
    void removeSelection(int index) override
    {
        if (index == 0)
            edit()->deselect();
    }
    void scrollToSubstring(int start, int end) override
    {
        edit()->setCursorPosition(end);
        edit()->setCursorPosition(start);
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    QRect characterRect(int offset) const override
    {
        // The text as the box lays it out: inside its frame and text margins,
        // aligned as set. Exact for any text that fits the box.
        const QString all = shown();
        if (offset < 0 || offset >= all.size())
            return QRect();
        QStyleOptionFrame option;
        option.initFrom(edit());
        option.lineWidth = edit()->hasFrame() ? edit()->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
        const QRect room = edit()->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, edit())
                               .marginsRemoved(edit()->textMargins())
                               .adjusted(2, 0, -2, 0); // the box's own margin beside the text
        const QFontMetrics metrics(edit()->font());
        const QRect line = QStyle::alignedRect(edit()->layoutDirection(), edit()->alignment(),
                                               QSize(metrics.horizontalAdvance(all), metrics.height()), room);
        const QRect r(line.left() + metrics.horizontalAdvance(all.left(offset)), line.top(),
                      metrics.horizontalAdvance(all.mid(offset, 1)), line.height());
        return QRect(edit()->mapToGlobal(r.topLeft()), r.size());
    }

    // --- Editable text.
    void deleteText(int start, int end) override { edit()->setText(edit()->text().remove(start, end - start)); }
    void insertText(int offset, const QString& text) override { edit()->setText(edit()->text().insert(offset, text)); }
    void replaceText(int start, int end, const QString& text) override
    {
        edit()->setText(edit()->text().replace(start, end - start, text));
    }
};

QAccessibleInterface* screenReaderPart(const QString& className, QObject* object)
{
    if (auto* node = dynamic_cast<AnnouncementNode*>(object))
        return new Notification(node);
    if (className == QLatin1String("QLineEdit"))
        return new LineEdit(static_cast<QLineEdit*>(object));
    if (className == QLatin1String("QLabel") && object->objectName() == QLatin1String("lblStatus"))
        return new StatusLine(static_cast<QLabel*>(object));
    return nullptr;
}

// --- Name changes. Qt 6.4 sends a changed name to the screen reader with the
// object in place of the new name; Orca takes that for the name and drops the
// change, so the new caption of a focused button is never heard. The change
// is sent here with the new name, on Qt's own connection to the
// accessibility bus, in place of Qt's.

// The sending application, as the accessibility bus expects it in every event.
struct ApplicationReference {
    QString service;
    QDBusObjectPath path;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ApplicationReference& reference)
{
    argument.beginStructure();
    argument << reference.service << reference.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ApplicationReference& reference)
{
    argument.beginStructure();
    argument >> reference.service >> reference.path;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(ApplicationReference)

namespace {

bool sendNameWithValue(QAccessibleEvent* event)
{
    QDBusConnection bus(QStringLiteral("a11y")); // the connection Qt's bridge opened
    QAccessibleInterface* iface = bus.isConnected() ? event->accessibleInterface() : nullptr;
    if (!iface || !iface->isValid() || iface->role() == QAccessible::Application)
        return false;
    const QString prefix = QStringLiteral("/org/a11y/atspi/accessible/");
    QDBusMessage change = QDBusMessage::createSignal(prefix + QString::number(QAccessible::uniqueId(iface)),
                                                     QStringLiteral("org.a11y.atspi.Event.Object"),
                                                     QStringLiteral("PropertyChange"));
    change << QStringLiteral("accessible-name") << 0 << 0
           << QVariant::fromValue(QDBusVariant(iface->text(QAccessible::Name)))
           << QVariant::fromValue(ApplicationReference{bus.baseService(), QDBusObjectPath(prefix + QStringLiteral("root"))});
    return bus.send(change);
}

void sendNamesWithValue(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::NameChanged && sendNameWithValue(event))
        return;
    // Everything else goes to Qt's own bridge, as without this handler.
    const QAccessible::UpdateHandler self = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(self);
}

// "…" and "!" end a sentence of their own; any other part gets a full stop.
QString asSentence(const QString& part)
{
    static const QString ends = QStringLiteral(".!?:…");
    return ends.contains(part.back()) ? part : part + QLatin1Char('.');
}

} // namespace

namespace platform {

void useScreenReaderFixes()
{
    static const bool installed = [] {
        qDBusRegisterMetaType<ApplicationReference>();
        QAccessible::installFactory(screenReaderPart);
        QAccessible::installUpdateHandler(sendNamesWithValue);
        return true;
    }();
    Q_UNUSED(installed);
}

Announcer::Announcer(QLabel* statusLine) : QObject(statusLine)
{
    auto* node = new AnnouncementNode(statusLine);
    node->setGeometry(0, 0, 0, 0);
    node->hide();
    m_node = node;
    statusLine->window()->installEventFilter(this);
}

void Announcer::say(Part part, const QString& text)
{
    m_pending[part] = text;
    schedule();
}

void Announcer::schedule()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    // After everything else of this turn: the announcement comes last, so
    // that nothing the screen reader says of the same change cuts it off.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_scheduled = false;
            announceNow();
        },
        Qt::QueuedConnection);
}

void Announcer::announceNow()
{
    QWidget* window = m_node->window();
    const QWidget* modal = QApplication::activeModalWidget();
    if ((modal && modal != window) || (window->isVisible() && !window->isActiveWindow()))
        return; // said once the window is active again
    QStringList parts;
    for (QString& part : m_pending) {
        if (!part.isEmpty() && !parts.contains(asSentence(part)))
            parts << asSentence(part);
        part.clear();
    }
    if (parts.isEmpty())
        return;
    static_cast<AnnouncementNode*>(m_node)->text = parts.join(QLatin1Char(' '));
    QAccessibleEvent shown(m_node, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

bool Announcer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && watched == m_node->window())
        schedule();
    return QObject::eventFilter(watched, event);
}

} // namespace platform
