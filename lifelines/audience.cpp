// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The audience joker: the four stored percentages of the question on screen
// appear at once in four labels, and four bars grow from a common baseline,
// one 20-twip step per percentage point and tick, each stopping at its own
// share. The bars' lower edge stays at 5535 twips.
#include "game/frmQuiz.h"

#include "game/accessibility.h"

#include "platform/Shape.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kBaselineTop = 5520;
constexpr int kBaselineHeight = 15;
constexpr int kStep = 20;

// The number of growth steps for a stored share. The file should hold a whole
// number from 0 to 99, but a record may hold anything: an empty or missing
// value, text, a negative, fractional or too large number. Such a value must
// never leave a counter that does not reach 0, or the animation would run
// forever and grow the bar off the window. So: a number is rounded to whole
// per cent and clamped to 0..100; anything that is not a finite number counts 0.
float growthSteps(const QVariant& stored)
{
    if (stored.isNull())
        return 0;
    QString text = stored.toString().trimmed();
    // A decimal comma, as a German user would type it, counts like a point.
    if (text.count(QLatin1Char(',')) == 1 && !text.contains(QLatin1Char('.')))
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0;
    return static_cast<float>(std::clamp(std::round(value), 0.0, 100.0));
}

// One answer's label text: the stored value as it is, between the letter and
// the per-cent sign; a field without a value shows nothing in between.
QString shareCaption(const QString& letter, const QVariant& stored)
{
    return letter + QStringLiteral(": ") + frmQuiz::onScreen(stored.toString()) + QStringLiteral("%");
}

// One tick of one bar: a step up while steps remain.
void growBar(Shape* bar, float& steps)
{
    if (steps > 0) {
        bar->setTop(bar->Top() - kStep);
        bar->setHeight(bar->Height() + kStep);
        steps -= 1;
    }
}

} // namespace

void frmQuiz::cmdPublikum_Click()
{
    Publikum();
}

void frmQuiz::Publikum()
{
    const std::array<QLabel*, 4> labels{lblPublikumA, lblPublikumB, lblPublikumC, lblPublikumD};
    const std::array<Shape*, 4> bars{ShpPubA, ShpPubB, ShpPubC, ShpPubD};
    const std::array<float*, 4> steps{&PubStepsA, &PubStepsB, &PubStepsC, &PubStepsD};
    static const std::array<QString, 4> letters{QStringLiteral("A"), QStringLiteral("B"),
                                                QStringLiteral("C"), QStringLiteral("D")};
    const std::array<const QString*, 4> fields{&store::field::PublikumA, &store::field::PublikumB,
                                               &store::field::PublikumC, &store::field::PublikumD};

    // The percentages are written at once; only the bars are animated.
    for (std::size_t i = 0; i < labels.size(); ++i)
        labels[i]->setText(shareCaption(letters[i], QuizRecords->Fields(*fields[i])));
    cmdPublikum->setEnabled(false);
    for (QLabel* label : labels)
        label->setVisible(true);
    showStatus(QStringLiteral("das Publikum hat gesprochen"));
    QStringList shares;
    for (QLabel* label : labels)
        shares << label->text();
    m_access->announceResult(shares.join(QStringLiteral(", ")));

    for (std::size_t i = 0; i < steps.size(); ++i)
        *steps[i] = growthSteps(QuizRecords->Fields(*fields[i]));

    // Every bar starts from the baseline, also when an earlier animation is
    // still running: that one is simply replaced.
    for (Shape* bar : bars)
        bar->setVisible(true);
    for (Shape* bar : bars)
        bar->setTop(kBaselineTop);
    for (Shape* bar : bars)
        bar->setHeight(kBaselineHeight);
    TimerPub->start();
}

int frmQuiz::barPercent(const Shape* bar) const
{
    return (bar->Height() - kBaselineHeight) / kStep;
}

void frmQuiz::TimerPub_Timer()
{
    growBar(ShpPubA, PubStepsA);
    growBar(ShpPubB, PubStepsB);
    growBar(ShpPubC, PubStepsC);
    growBar(ShpPubD, PubStepsD);
    // The timer switches itself off in the tick in which the last bar stops.
    if (PubStepsA <= 0 && PubStepsB <= 0 && PubStepsC <= 0 && PubStepsD <= 0)
        TimerPub->stop();
}
