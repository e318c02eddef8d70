// Identifiers shared by the player's code and its resource script.
#pragma once

#define IdGameShuffle 301
#define IdGameShowPicture 302
#define IdGameExit 303
#define IdHelpAbout 304
#define IdGameNumbers 305
#define IdGameUndo 306
#define IdGameHint 307
#define IdGameSolve 308
#define IdGameBestResults 309

#define IdStatusText 310  // "Moves: ..." or "Solved in ..."
#define IdNoticeText 311  // explains a reduced grid

#define IdAboutCompany 401
#define IdAboutWebSite 402
#define IdAboutTagLine 403
