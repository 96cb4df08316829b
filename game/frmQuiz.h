// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game window: the whole stage of the quiz. One member per control, named
// as on screen; the game state; and the window's procedures. The jokers are
// member functions too, defined in lifelines/. What the window does beside
// its procedures is done by small objects it owns: GameAccessibility (what a
// screen reader hears), InputGuard (no stray key or click costs a game) and
// StageScaler (full screen, the stage picture).
#pragma once

#include "store/store.h"

#include <QWidget>
#include <array>
#include <memory>

class GameAccessibility;
class InputGuard;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class Shape;
class StageScaler;
class AccessCopy;
class frmEditor;

class frmQuiz : public QWidget {
    Q_OBJECT
public:
    // The window on the question file in the program directory.
    frmQuiz();
    // The window on `questionFile`, which it hands on to its editor.
    explicit frmQuiz(QString questionFile);
    ~frmQuiz() override;

    // --- The window's own procedures.
    void Publikum();
    void Neu();
    void Richtig();
    void Falsch();
    void PufferInForm();
    void Ende();
    void Leiterstufe(int level); // the ladder step of a level 1..15

    // --- Event procedures.
    void Form_Load();
    void Form_KeyPress(int keyAscii);
    void Timer1000_Timer();
    void cmdA_Click();
    void cmdB_Click();
    void cmdC_Click();
    void cmdD_Click();
    void cmdNeu_Click();
    void cmdEnd_Click();
    void cmdEdit_Click();
    void cmdHalb_Click();
    void cmdHandy_Click();
    void TimerCountdown_Timer();
    void cmdPublikum_Click();
    void TimerPub_Timer();

    // The marker shape of a level 1..15 (S1..S15), and the labels of its row.
    Shape* marker(int level) const;
    QLabel* ladderNumber(int level) const;
    QLabel* ladderAmount(int level) const;
    // The share an audience bar (ShpPubA..ShpPubD) shows, in whole per cent.
    int barPercent(const Shape* bar) const;

    // A stored text as the window shows it: one of more than kShownChars
    // characters (store::charCount) is cut there and ends in "…", so that no widget gets more text than it lays out
    // in good time. What is stored is never changed by it.
    static constexpr int kShownChars = 10000;
    static QString onScreen(const QString& text);

    // --- Full screen (see StageScaler). F11 switches between the window and
    // full screen, where the whole stage is scaled by one factor and centred
    // on black; F11 or Escape give the window back exactly as it was.
    void toggleFullScreen();
    static qreal fullScreenFactor(QSize size);
    static qreal dialogScaleFor(qreal stageFactor);
    // The window laid out at `factor` times its size; the stage's place in it.
    void setStageScale(qreal factor);
    QRect stageRect() const;

    // --- Status bar. The window writes lblStatus through showStatus.
    QLabel* lblTime = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblSicher = nullptr;
    // --- Game buttons.
    QPushButton* cmdNeu = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdEnd = nullptr;
    // --- Player name.
    QLabel* lblKandidatenname = nullptr;
    QLineEdit* txtName = nullptr;
    // --- Jokers.
    QGroupBox* frmJoker = nullptr;
    QPushButton* cmdPublikum = nullptr;
    QPushButton* cmdHalb = nullptr;
    QPushButton* cmdHandy = nullptr;
    // --- Question and answers.
    QLabel* lblFrage = nullptr;
    QPushButton* cmdA = nullptr;
    QPushButton* cmdB = nullptr;
    QPushButton* cmdC = nullptr;
    QPushButton* cmdD = nullptr;
    // --- Audience graph.
    Shape* ShpPubA = nullptr;
    Shape* ShpPubB = nullptr;
    Shape* ShpPubC = nullptr;
    Shape* ShpPubD = nullptr;
    QLabel* lblPublikumA = nullptr;
    QLabel* lblPublikumB = nullptr;
    QLabel* lblPublikumC = nullptr;
    QLabel* lblPublikumD = nullptr;
    // --- Prize ladder: amounts Label8 (level 15) .. Label22 (level 1),
    //     numbers Label23 (level 15) .. Label37 (level 1), markers S1 .. S15.
    QLabel *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr,
           *Label12 = nullptr, *Label13 = nullptr, *Label14 = nullptr, *Label15 = nullptr,
           *Label16 = nullptr, *Label17 = nullptr, *Label18 = nullptr, *Label19 = nullptr,
           *Label20 = nullptr, *Label21 = nullptr, *Label22 = nullptr;
    QLabel *Label23 = nullptr, *Label24 = nullptr, *Label25 = nullptr, *Label26 = nullptr,
           *Label27 = nullptr, *Label28 = nullptr, *Label29 = nullptr, *Label30 = nullptr,
           *Label31 = nullptr, *Label32 = nullptr, *Label33 = nullptr, *Label34 = nullptr,
           *Label35 = nullptr, *Label36 = nullptr, *Label37 = nullptr;
    Shape *S1 = nullptr, *S2 = nullptr, *S3 = nullptr, *S4 = nullptr, *S5 = nullptr,
          *S6 = nullptr, *S7 = nullptr, *S8 = nullptr, *S9 = nullptr, *S10 = nullptr,
          *S11 = nullptr, *S12 = nullptr, *S13 = nullptr, *S14 = nullptr, *S15 = nullptr;
    // --- Timers.
    QTimer* Timer1000 = nullptr;
    QTimer* TimerCountdown = nullptr;
    QTimer* TimerPub = nullptr;

    // --- Game state.
    std::unique_ptr<store::Database> QuizDatabase;
    std::unique_ptr<store::Recordset> QuizRecords;
    qint16 Level = 0;
    qint32 SecuredAmount = 0;
    float CountdownElapsed = 0;
    float PubStepsA = 0;
    float PubStepsB = 0;
    float PubStepsC = 0;
    float PubStepsD = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildLayout();
    void connectEvents();
    // Writes the status line; a screen reader hears it too unless `spoken` is false.
    void showStatus(const QString& text, bool spoken = true);
    void judgeAnswer(const QString& letter);
    void keepClockMidSecond();

    const QString m_questionFile;        // opened at start-up, and by the editor
    std::unique_ptr<AccessCopy> m_accessCopy; // what is played of an Access file
    std::unique_ptr<frmEditor> m_editor; // created on first use, reused for every opening
    // What the window does beside its procedures, each an object of its own.
    GameAccessibility* m_access = nullptr;
    InputGuard* m_input = nullptr;
    StageScaler* m_stage = nullptr;
};
