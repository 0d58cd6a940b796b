#pragma once
// Belltide speaks Japanese where the ANSI code page is 932, English
// elsewhere: its texts must be text the code page can show.

// Chooses the language of every dialog, menu and string from now on.
void ChooseUiLanguage();
