#pragma once

#include "Extraction.h"
#include "TableWindow.h"

#include <functional>
#include <string>
#include <vector>

// A table window that also writes down every operation the extraction performs on it, in
// order, so the tests can compare the whole conversation.
class RecordingWindow : public tallyglass::TableWindow {
public:
    RecordingWindow() : TableWindow([this](std::string_view m) { messages.emplace_back(m); log.push_back("message " + std::string(m)); }) {}

    void SetFieldText(tallyglass::FieldId field, std::string_view text) override
    {
        TableWindow::SetFieldText(field, text);
        log.push_back("set " + std::string(tallyglass::CatalogueRow(field).idName) + "=" + std::string(text));
    }
    void Untick(tallyglass::FieldId field) override
    {
        TableWindow::Untick(field);
        log.push_back("untick " + std::string(tallyglass::CatalogueRow(field).tickName));
    }
    void Yield() override
    {
        log.push_back("yield");
        ++yields;
        if (onYield)
            onYield(yields);
    }
    void EndProgram(int status) override
    {
        TableWindow::EndProgram(status);
        log.push_back("end " + std::to_string(status));
    }

    std::vector<std::string> log;
    std::vector<std::string> messages;
    int yields = 0;
    std::function<void(int)> onYield;
};
