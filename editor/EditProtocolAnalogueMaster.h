// Analogue/Audio Master protocol: input mode, polarity, and per channel the
// input type and the high and low triggers.
#pragma once

#include "editor/EditProtocolPanel.h"

#include <array>

class EditProtocolAnalogueMaster : public EditProtocolPanel
{
public:
    EditProtocolAnalogueMaster(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                               const wxSize& size = wxDefaultSize);

    uint8_t CurrentChannel() const { return m_currentChannel; }

protected:
    void LoadOwn(const NodeEntry& node) override;
    void StoreOwn(NodeEntry& node) override;

private:
    struct Channel {
        bool voltage = true;
        int high = NodeFields::kAnalogueHighDefault;
        int low = NodeFields::kAnalogueLowDefault;
        // What the spins showed when the channel was last shown.
        int shownHigh = NodeFields::kAnalogueHighDefault;
        int shownLow = NodeFields::kAnalogueLowDefault;
    };

    void ApplyMode();
    void ApplyType(bool voltage);
    void KeepCurrentChannel();
    void ShowCurrentChannel();
    void OnChannel();

    wxChoice* m_mode = nullptr;
    wxCheckBox* m_activeLow = nullptr;
    wxChoice* m_channel = nullptr;
    wxChoice* m_type = nullptr;
    wxSpinCtrl* m_high = nullptr;
    wxStaticText* m_highUnit = nullptr;
    wxSpinCtrl* m_low = nullptr;
    wxStaticText* m_lowUnit = nullptr;
    wxChoice* m_noData = nullptr;

    // The channels are kept here and all written by Store, so the node's
    // bytes change only when this page is the one stored.
    std::array<Channel, NodeFields::kAnalogueChannels> m_channels{};
    uint8_t m_currentChannel = 0;
};
