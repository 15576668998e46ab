#pragma once

// What the module calls on the page: the module's half of the contract in
// page/contract.js (linked into the module), which says what each is for.
// A name here that the contract lacks fails the link; the page's own names
// behind them are checked by zt_page_connect at start.
extern "C" {
// Binds Module.game and checks both sides' names; 0, after a line on the
// page naming what is missing, when the page and the module do not match.
int zt_page_connect();
void zt_page_show_about(const char* caption, const char* version, const char* notice);
int zt_page_open_audio(int sampleRate);
void zt_page_close_audio();
void zt_page_toggle_full_screen();
void zt_page_game_ended(int status);
}
