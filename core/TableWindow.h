#pragma once

#include "Extraction.h"
#include "Report.h"

#include <functional>
#include <string>

namespace tallyglass {

// A window without a screen: 38 texts and 38 ticks. The report tool examines files with it;
// yields do nothing, messages go to a callback, and ending the program abandons the file.
class TableWindow : public ExtractionWindow {
public:
    explicit TableWindow(std::function<void(std::string_view)> onMessage = {})
        : m_onMessage(std::move(onMessage)) {}

    void SetFieldText(FieldId field, std::string_view text) override { texts[std::size_t(field)] = text; }
    void Untick(FieldId field) override { ticks[std::size_t(field)] = false; }
    void Yield() override {}
    void ShowMessage(std::string_view text) override { if (m_onMessage) m_onMessage(text); }
    void EndProgram(int status) override { m_ended = true; endStatus = status; }
    bool Ended() const override { return m_ended; }

    // Ready for the next file.
    void Reset() { m_ended = false; endStatus = 0; }

    const std::string& text(FieldId field) const { return texts[std::size_t(field)]; }

    FieldTexts texts;
    FieldTicks ticks{};
    int endStatus = 0;

private:
    std::function<void(std::string_view)> m_onMessage;
    bool m_ended = false;
};

} // namespace tallyglass
