#pragma once

// Local
#include "platform/clipboard_service.h"

namespace vorlane {

// The system clipboard through QClipboard.
class QtClipboardService : public ClipboardService
{
public:
    void clear() override;
    void setImage(const QImage &image) override;
    [[nodiscard]] bool hasImage() const override;
    [[nodiscard]] QImage image() const override;
};

} // namespace vorlane
