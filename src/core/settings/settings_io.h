#pragma once
// Reading and writing the settings file, section by section, at the moments the program
// needs them. Every operation reads the file once and writes it at most once, in one
// atomic step. A missing file, section or key reads as the key's default; a value out of
// range is corrected only where noted. Write failures are not reported to the operator.
//
// Sections and keys are created in the order the writes below name them, so a new file
// starts with RS232C, ENV, FONT, DIR, PROPATY1..PROPATY24 and PORT_DEVICES.

#include "core/desktop/desktop.h"
#include "core/settings/settings.h"
#include "core/settings/settings_file.h"

namespace kestrel {

// Start-up, right after the file name is known: RS232C, ENV (all but DEFAULT_FKEY_NO),
// FONT, DIR, the 24 RBBS records and PORT_DEVICES (COM1..COM8, then RECONNECT, default 1,
// into PortSettings::reconnect). COM_PORT outside 1..8 reads as 1, a
// negative UL_WAIT as 0, a separator "0" as one space. Parity is not touched.
// REV_TEXT_COL is only read; applying it to the panes is the caller's.
void load_settings(const SettingsFile& file, Settings& settings);

// Asks the operator whether to save into the file (by its name as given); on Yes writes
// everything `load_settings` reads, never parity. True only when the file was written.
bool save_settings(const SettingsFile& file, const Settings& settings, Desktop& desktop);

// The current RBBS record (ENV DEFAULT_FKEY_NO); outside 0..23 reads as 0.
void load_default_fkey_no(const SettingsFile& file, Settings& settings);

// WIN_RECT, the four colours and KEY_MACRO. Colour components keep their low 8 bits.
void load_window_colours_macros(const SettingsFile& file, Settings& settings);
// The four colours and KEY_MACRO, after `save_settings` whatever its answer was.
bool save_colours_macros(const SettingsFile& file, const Settings& settings);
// At exit: WIN_RECT (a negative left or top edge is stored as 0), then DEFAULT_FKEY_NO.
bool save_window_and_fkey_no(const SettingsFile& file, const Settings& settings);

// The PC scope and TALK windows' rectangles (SCOPE_RECT, TALK_RECT).
void load_scope_rect(const SettingsFile& file, Settings& settings);
bool save_scope_rect(const SettingsFile& file, const Settings& settings);
void load_talk_rect(const SettingsFile& file, Settings& settings);
bool save_talk_rect(const SettingsFile& file, const Settings& settings);

// The TALK partner (TALK_ENV CALL_SIGN).
void load_talk_call_sign(const SettingsFile& file, Settings& settings);
bool save_talk_call_sign(const SettingsFile& file, const Settings& settings);

// The five external programs (EXT_EXEC1..EXT_EXEC5, NAME and PATH).
void load_external_programs(const SettingsFile& file, Settings& settings);
bool save_external_programs(const SettingsFile& file, const Settings& settings);

}  // namespace kestrel
