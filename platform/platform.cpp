#include "platform/platform.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <cmath>
#include <cstdlib>

namespace platform {
namespace {
std::function<void()> g_endHandler;
std::function<QDateTime()> g_clock;

QString titleOr(const QString& title) { return title.isEmpty() ? kAppTitle : title; }

// "1234567" -> "1.234.567"; the sign stays in front.
QString groupThousands(qint64 value)
{
    const bool negative = value < 0;
    QString digits = QString::number(negative ? -value : value);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char('.'));
    return negative ? QLatin1Char('-') + digits : digits;
}
} // namespace

void endProgram() { endProgram(0); }

void endProgram(int exitStatus)
{
    if (g_endHandler)
        g_endHandler();          // a test's handler throws and never comes back here
    std::exit(exitStatus);
}

void setEndProgramHandler(std::function<void()> handler) { g_endHandler = std::move(handler); }

QDateTime now() { return g_clock ? g_clock() : QDateTime::currentDateTime(); }

void setClock(std::function<QDateTime()> clock) { g_clock = std::move(clock); }

void msgBox(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), text, QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

bool askYesNo(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), text, QMessageBox::Yes | QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog;
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

void centreOnScreen(QWidget& window)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

QString formatDate(const QDateTime& t) { return t.toString(QStringLiteral("dd.MM.yyyy")); }

QString formatTime(const QDateTime& t) { return t.toString(QStringLiteral("HH:mm:ss")); }

QString formatSecured(qint64 euros) { return groupThousands(euros) + QStringLiteral(",-"); }

QString formatGrouped(qint64 euros) { return groupThousands(euros); }

QString formatWhole(double value) { return QString::number(static_cast<qint64>(std::llround(value))); }

QRect twipsRect(int left, int top, int width, int height)
{
    const int x = px(left), y = px(top);
    return QRect(x, y, px(left + width) - x, px(top + height) - y);
}

void reportUncaughtFailure(const QString& what)
{
    msgBox(QStringLiteral("Unerwarteter Fehler: %1\nDas Programm wird beendet.").arg(what));
    endProgram(1);
}

} // namespace platform
