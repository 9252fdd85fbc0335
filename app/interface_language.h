#pragma once

namespace vorlane {

// Makes everything Qt formats for the user (dates, times, sizes and numbers
// in Qt's dialogs) Japanese like the rest of the interface, whatever the
// user's locale says; the program's own numbers and memo stamps do not depend
// on it. Call first thing, before anything asks for the system locale: Qt
// reads it from the environment once. The environment itself is left as it
// was, for the C library and for programs started from here.
void useJapaneseFormats();

// Qt's own dialogs and buttons speak Japanese like the rest of the program,
// whatever the user's locale: installs Qt's Japanese translation, and the
// few words of its file dialog that translation lacks.
void installQtJapanese();

} // namespace vorlane
