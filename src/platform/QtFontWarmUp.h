// The font configuration that Qt's font database loads when the first text is measured.
#pragma once

// Loads it now, so that a thread can do it while Qt starts on another core: the window's
// layout, which measures its captions, then finds it ready. Safe from any thread, before
// or after the application object exists; does nothing where Qt does not use fontconfig.
void WarmUpFontConfiguration();
