// Every identifier of the player in one place: its resources (shared with the
// resource script, hence macros: the resource compiler reads #define but not
// C++), and the controls of its windows, which the program alone creates.
// Portable: the core's layouts name their controls from here too.
#pragma once

#define IDD_SHEET 1001
#define IDD_HEADER 1002
#define IDC_LINK_CURSOR 1003
#define IDI_PLAY 1004
#define IDI_STOP 1005

#ifndef RC_INVOKED

// Resources the packer writes: the quiz layout and reward codes (type
// "PATCH"), and per question n its picture or clip and its solution picture
// (type "IMG", or raw data for a PNG).
constexpr int quizLayoutResourceId = 104;
constexpr int rewardCodesResourceId = 105;
// The quiz's own web address ("PATCH" too), apart from 104 so that players
// that do not know it read the quiz as before.
constexpr int quizLinkResourceId = 106;
// The answers a box accepts besides its main one ("PATCH" too, only in a quiz
// that has some), apart from 104 for the same reason.
constexpr int otherAnswersResourceId = 107;
constexpr int pictureResourceIdBase = 400;
constexpr int solutionResourceIdBase = 10400;
constexpr int playIconResourceId = IDI_PLAY;
constexpr int stopIconResourceId = IDI_STOP;

// The header bar's controls. Ids from 20 to 32 are drawn transparent on the
// header's brush.
constexpr int headerLinkId = 24;
constexpr int headerByLabelId = 25;
constexpr int headerAuthorId = 26;
constexpr int headerSaveButtonId = 27;
constexpr int headerExplanationsId = 28;
constexpr int headerTitleId = 29;
constexpr int headerRewardCodeId = 30;
constexpr int headerCodeLabelId = 31;
constexpr int headerScoreId = 32;
constexpr int headerFirstTransparentId = 20;
constexpr int headerSeparatorId1 = 120;
constexpr int headerSeparatorId2 = 121;
constexpr int headerSeparatorId3 = 122;

// The main window's footer label.
constexpr int footerLabelId = 8000;

// The quiz sheet's controls; a base plus n for question n, or plus k for
// answer box k (its verdict label is the box's id plus verdictLabelOffset).
constexpr int numberLabelId = 153;
constexpr int captionLabelId = 156;
constexpr int promptLabelId = 3000;
constexpr int answerBoxIdBase = 4000;
constexpr int verdictLabelIdBase = 5000;
constexpr int playButtonIdBase = 6000;
constexpr int stopButtonIdBase = 7000;
constexpr int commentLabelIdBase = 8000;
constexpr int pictureControlIdBase = 9900;
constexpr int firstAnswerBoxId = answerBoxIdBase + 1;
constexpr int firstVerdictLabelId = verdictLabelIdBase + 1;
constexpr int verdictLabelOffset = verdictLabelIdBase - answerBoxIdBase;
// The media player's host window takes the number no picture control uses.
constexpr int playerHostId = pictureControlIdBase;

#endif
