#pragma once

// The numbers of the main window's commands and of the window messages that the main
// window, the song windows and the player exchange. Scripts and tests name commands by
// these numbers, so they never change.
namespace cmd {

// Menus.
constexpr int kMenuNoSong = 100;
constexpr int kMenuBasic = 101;
constexpr int kMenuAdvanced = 102;

// File.
constexpr int kNewSong = 110;
constexpr int kOpenSong = 111;
constexpr int kCloseSong = 112;
constexpr int kSaveSong = 113;
constexpr int kSaveAs = 114;
constexpr int kRenameSong = 115;
constexpr int kPrint = 116;
constexpr int kPrintPreview = 117;
constexpr int kPrintSetup = 118;
constexpr int kExit = 119;
constexpr int kHistoryFirst = 120; // to 124
constexpr int kHistoryCount = 5;

// Device.
constexpr int kSelectDeviceType = 130;
constexpr int kDefineDeviceType = 131;
constexpr int kDefineController = 132;

// Edit.
constexpr int kUndo = 140;
constexpr int kRedo = 141;
constexpr int kCut = 142;
constexpr int kCopy = 143;
constexpr int kPaste = 144;
constexpr int kClear = 145;
constexpr int kSelectAll = 146;
constexpr int kSelectTimeRange = 147;
constexpr int kSelectionVelocity = 148;
constexpr int kDeleteTrack = 149;
constexpr int kQuantize = 150;
constexpr int kTranspose = 151;
constexpr int kInsertSpace = 152;
constexpr int kDeleteTimeRange = 153;

// Song.
constexpr int kSongProperties = 160;
constexpr int kTrackProperties = 161;
constexpr int kTempo = 162;
constexpr int kTimeKeySignature = 163;

// Options and View.
constexpr int kBasicMode = 180;
constexpr int kAdvancedMode = 181;
constexpr int kPlayOnHesitation = 184;
constexpr int kPlayOnlyCurrentView = 185;
constexpr int kAutoRewind = 186;
constexpr int kMovePitchToKey = 187;
constexpr int kShowNotePlacement = 188;
constexpr int kShowLyrics = 189;
constexpr int kViewOptions = 190;
constexpr int kSnapTo = 191;
constexpr int kKeyAssignments = 192;
constexpr int kPlayOnRecord = 193;
constexpr int kVoiceSettings = 194;
constexpr int kNewView = 195;
constexpr int kDeleteView = 196;
constexpr int kShowControllerGraph = 198;

// Output devices: the built-in synthesizer, then the MIDI ports.
constexpr int kMidiMapper = 200;
constexpr int kOutputFirst = 201; // to 209
constexpr int kOutputCount = 9;

// Help.
constexpr int kHelpContents = 210;
constexpr int kHelpMouse = 211;
constexpr int kHelpToolbar = 212;
constexpr int kHelpTroubleshooting = 213;
constexpr int kHelpQuickKeys = 214;

// Window.
constexpr int kCascade = 270;
constexpr int kTile = 271;
constexpr int kWindowFirst = 272; // to 281
constexpr int kWindowCount = 10;

// Note and Move.
constexpr int kAddNoteAfterCurrent = 300;
constexpr int kAddNoteAtEnd = 301;
constexpr int kAddNoteAtCurrent = 302;
constexpr int kPitchUp = 303;
constexpr int kPitchDown = 304;
constexpr int kIncreaseDuration = 305;
constexpr int kDecreaseDuration = 306;
constexpr int kNoteProperties = 307;
constexpr int kDeleteCut = 308;
constexpr int kNoteClear = 309;
constexpr int kMoveNoteForward = 310;
constexpr int kMoveNoteBackward = 311;
constexpr int kSelectNextNote = 312;
constexpr int kSelectPreviousNote = 313;
constexpr int kInsertNoteBefore = 317;
constexpr int kOctaveUp = 318;
constexpr int kOctaveDown = 319;
constexpr int kDot = 320;
constexpr int kTriplet = 321;
constexpr int kIncreaseVolume = 322;
constexpr int kDecreaseVolume = 323;
constexpr int kMoveForward = 324;
constexpr int kMoveBackward = 325;

// Play/Record.
constexpr int kRewindToBeginning = 340;
constexpr int kRewind = 341;
constexpr int kStop = 342;
constexpr int kPlay = 343;
constexpr int kRecordMidi = 344;
constexpr int kRecordWave = 345;
constexpr int kVoiceToNotes = 346;
constexpr int kForward = 347;
constexpr int kForwardToEnd = 348;

// Window messages.
constexpr int kPlayerWantsData = 400;
constexpr int kPlayPosition = 401;
constexpr int kPlayerStopped = 402;
constexpr int kPlayerError = 403;
constexpr int kDestroyClosed = 404;
constexpr int kRefresh = 406;
constexpr int kFirstLayout = 409;
constexpr int kRedraw = 410;
constexpr int kForceCtrl = 411;
constexpr int kReleaseCtrl = 412;

} // namespace cmd
