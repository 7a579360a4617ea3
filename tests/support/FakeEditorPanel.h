#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "editor/EditorPanel.h"

// A panel that remembers what the editor showed on it.
class FakePanel : public EditorPanel {
public:
    void SetValueText(int position, const std::string& text) override { texts[position] = text; }
    void SetStatusLine(const std::string& text) override { status = text; }
    std::string StatusLine() const override { return status; }
    void ShowEffectPanels(int effectType, bool parametric, bool graphic) override {
        shownEffect = effectType;
        shownParametric = parametric;
        shownGraphic = graphic;
    }
    void SetEqualizerBands(const std::array<EqBandRecord, kEqBandCount>& b) override {
        bands = b;
        ++bandUpdates;
    }
    EqBandRecord EqualizerBand(int band) const override { return bands[static_cast<size_t>(band)]; }
    std::string ChooserPath(int index) const override {
        auto found = choosers.find(index);
        return found == choosers.end() ? std::string() : found->second;
    }
    void SetChooserPath(int index, const std::string& path) override { choosers[index] = path; }
    bool ShowReport(const Report& report) override {
        reports.push_back({report.kind, report.text});
        defaultButtons.push_back(report.defaultButton);
        return report.kind == ReportKind::kWarning ? warningAnswer : true;
    }
    bool ChooseFolder(std::string& folder) override {
        ++folderDialogs;
        folderShownAt = folder;
        if (!chosenFolder) return false;
        folder = *chosenFolder;
        return true;
    }
    void ShowCompare(bool on) override { comparing = on; }
    void ShowAbout() override { aboutShown = true; }
    void ShowTransferProgress(const std::string& text) override {
        progress = text;
        progressTexts.push_back(text);
    }
    bool OpenDocument(const std::string& address) override {
        openedDocuments.push_back(address);
        return true;
    }
    void OpenChooser(int index) override { openedChooser = index; }
    double KeyboardVelocity() const override { return velocity; }
    void RedrawKeyboard() override { ++keyboardRedraws; }
    void ShowController(int position, int controller) override {
        if (controller < 0) {
            controllers.erase(position);
        } else {
            controllers[position] = controller;
        }
    }

    std::map<int, std::string> texts;
    std::map<int, std::string> choosers;
    // The controller each position's control shows.
    std::map<int, int> controllers;
    std::string status = "Program Name";
    int shownEffect = -1;
    bool shownParametric = false;
    bool shownGraphic = false;
    std::array<EqBandRecord, kEqBandCount> bands{};
    int bandUpdates = 0;
    double velocity = 1.0;
    int keyboardRedraws = 0;
    bool aboutShown = false;
    bool comparing = false;
    int openedChooser = -1;
    std::string progress;
    std::vector<std::string> progressTexts;
    std::vector<std::string> openedDocuments;
    struct Shown {
        ReportKind kind;
        std::string text;
        bool operator==(const Shown&) const = default;
        friend void PrintTo(const Shown& shown, std::ostream* out) {
            *out << "{" << static_cast<int>(shown.kind) << ", \"" << shown.text << "\"}";
        }
    };
    std::vector<Shown> reports;
    std::vector<Report::DefaultButton> defaultButtons;
    bool warningAnswer = true;
    std::optional<std::string> chosenFolder;
    std::string folderShownAt;
    int folderDialogs = 0;
};
