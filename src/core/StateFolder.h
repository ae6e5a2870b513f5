// Where what outlives a run is kept: the recovery copy of the profile and the download journal.
#pragma once

#include <QString>

// $ORVEX_STATE_DIR when set (tests and unusual setups), else $XDG_STATE_HOME/orvex, else
// ~/.local/state/orvex. Not created here.
QString StateFolder();
// Makes the folder (only the user may look in it); the reason when that fails, else empty.
QString MakeStateFolder(const QString &folder);
