// One libFuzzer program; VORLANE_FUZZ_ENTRY names the target it feeds.

// Qt
#include <QGuiApplication>

// Std
#include <cstdint>
#include <cstdlib>

// Local
#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text in metafiles needs fonts, which need a QGuiApplication.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const vorlane::fuzz::Entry entry
        = vorlane::fuzz::entryNamed(QStringLiteral(VORLANE_FUZZ_ENTRY));
    if (!entry)
        std::abort();
    entry(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
