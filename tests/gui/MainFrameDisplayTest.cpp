// The document as the window shows it: settings, IP texts, the nodes grid
// and the shared-memory map, and the values taken back.
#include "FrameTestSupport.h"

#include "config/ConfigData.h"

#include <wx/checkbox.h>
#include <wx/grid.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

namespace {

using MainFrameDisplay = FrameTest;

void SetReads(NodeEntry& node, unsigned entry, uint8_t id, uint16_t start, uint8_t length)
{
    node.slaveId[entry] = id;
    node.readStart[entry] = start;
    node.readLength[entry] = length;
}

void SetWrites(NodeEntry& node, unsigned entry, uint16_t start, uint8_t length)
{
    node.writeStart[entry] = start;
    node.writeLength[entry] = length;
}

} // namespace

TEST_F(MainFrameDisplay, GridsShowNodesAndOverlappingMemoryRanges)
{
    ConfigData& document = m_frame->Document();
    // Nodes 1 and 2 are the default Control nodes, with no slaves.
    ASSERT_TRUE(document.AddNode());  // node 3: UCE Master, reads bytes 0-3, writes 4-7
    ASSERT_TRUE(document.AddNode());
    ASSERT_TRUE(document.AddNode());
    NodeEntry& four = *document.GetNode(3);
    four.slaveCount = 2;
    SetReads(four, 0, 1, 2, 3);       // bytes 2-4
    SetWrites(four, 0, 6, 1);         // byte 6
    SetReads(four, 1, 9, 510, 5);     // runs past the last byte
    SetWrites(four, 1, 0, 0);
    NodeEntry& five = *document.GetNode(4);
    five.protocol = PROTOCOL_NULL;    // keeps its asynchronous serial port
    SetReads(five, 0, 1, 3, 1);       // byte 3
    m_frame->RefreshFromDocument();
    Settle();

    auto* nodes = Find<wxGrid>("ID_NODESGRID");
    const char* const expectedNodes[6][5] = {
        {"Control", "TCP Server on port 23", "", "", ""},
        {"Control", "Async serial COM2", "", "", ""},
        {"UCE Master", "Async serial COM1", "1", "1-4", "5-8"},
        {"UCE Master", "Async serial COM1", "1, 9", "3-5, 511-515", "7-7"},
        {"Null", "", "1", "4-4", "5-8"},
        {"", "", "", "", ""},
    };
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(nodes->GetCellValue(r, c), expectedNodes[r][c]) << "node row " << r << " column " << c;

    auto* memory = Find<wxGrid>("ID_GRIDMEMORY");
    const struct {
        int row;
        const char* read;
        const char* write;
    } expectedMemory[] = {
        {0, "Node 3", ""},
        {1, "Node 3", ""},
        {2, "Node 3, 4", ""},
        {3, "Node 3, 4, 5", ""},
        {4, "Node 4", "Node 3, 5"},
        {5, "", "Node 3, 5"},
        {6, "", "Node 3, 4, 5"},
        {7, "", "Node 3, 5"},
        {8, "", ""},
        {509, "", ""},
        {510, "Node 4", ""},
        {511, "Node 4", ""},
    };
    for (const auto& row : expectedMemory) {
        EXPECT_EQ(memory->GetCellValue(row.row, 0), row.read) << "memory row " << row.row;
        EXPECT_EQ(memory->GetCellValue(row.row, 1), row.write) << "memory row " << row.row;
    }
    EXPECT_EQ(memory->GetNumberRows(), 512);

    // A second refresh rebuilds rather than adds.
    m_frame->RefreshFromDocument();
    EXPECT_EQ(memory->GetCellValue(3, 0), "Node 3, 4, 5");
    EXPECT_EQ(nodes->GetCellValue(2, 2), "1");
}

TEST_F(MainFrameDisplay, NoNodesLeaveBothGridsEmpty)
{
    ConfigData& document = m_frame->Document();
    ASSERT_TRUE(document.AddNode());
    m_frame->RefreshFromDocument();
    auto* memory = Find<wxGrid>("ID_GRIDMEMORY");
    ASSERT_EQ(memory->GetCellValue(0, 0), "Node 3");

    while (document.GetNodeCount() > 0)
        ASSERT_TRUE(document.DeleteNode(0));
    m_frame->RefreshFromDocument();
    Settle();

    auto* nodes = Find<wxGrid>("ID_NODESGRID");
    for (int r = 0; r < nodes->GetNumberRows(); ++r)
        for (int c = 0; c < nodes->GetNumberCols(); ++c)
            EXPECT_TRUE(nodes->GetCellValue(r, c).empty()) << r << "," << c;
    for (int r = 0; r < memory->GetNumberRows(); ++r)
        for (int c = 0; c < 2; ++c)
            EXPECT_TRUE(memory->GetCellValue(r, c).empty()) << r << "," << c;
}

TEST_F(MainFrameDisplay, LogLevelSpinShowsTheLevelName)
{
    auto* spin = Find<wxSpinCtrl>("ID_SPINCTRLSDLOGLEVEL");
    auto* name = Find<wxTextCtrl>("ID_TEXTCTRLLOGTEXT");
    const char* const names[] = {"none", "important", "normal", "detailed", "debugging!", "everything!!"};
    for (int level = 5; level >= 0; --level) {
        spin->SetValue(level);
        wxSpinEvent event(wxEVT_SPINCTRL, spin->GetId());
        event.SetEventObject(spin);
        event.SetPosition(level);
        spin->ProcessWindowEvent(event);
        Settle();
        EXPECT_EQ(name->GetValue(), names[level]) << "level " << level;
    }

    m_frame->Document().SetSdLogLevel(5);
    m_frame->RefreshFromDocument();
    EXPECT_EQ(spin->GetValue(), 5);
    EXPECT_EQ(name->GetValue(), "everything!!");
}

TEST_F(MainFrameDisplay, RefreshShowsSettingsAndTakesThemBack)
{
    ConfigData& document = m_frame->Document();
    document.SetWriteProtect(1);
    document.SetDataAge(200);
    document.SetSdLogLevel(4);
    document.SetSdLogAge(7);
    document.SetNotes("Line one");
    ASSERT_TRUE(document.SetIpSettings("10.1.2.3", "255.255.0.0", "10.1.0.1", "0:1:2:a:b:FF", "513"));
    m_frame->RefreshFromDocument();
    Settle();

    EXPECT_EQ(Find<wxTextCtrl>("ID_NOTESTEXT")->GetValue(), "Line one");
    EXPECT_TRUE(Find<wxCheckBox>("ID_CHECKBOX1")->GetValue());
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 200);
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLSDLOGLEVEL")->GetValue(), 4);
    EXPECT_EQ(Find<wxTextCtrl>("ID_TEXTCTRLLOGTEXT")->GetValue(), "debugging!");
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLLOGAGE")->GetValue(), 7);
    EXPECT_EQ(Find<wxTextCtrl>("ID_TEXTCTRL1")->GetValue(), "10.1.2.3");
    EXPECT_EQ(Find<wxTextCtrl>("ID_TEXTCTRL2")->GetValue(), "255.255.0.0");
    EXPECT_EQ(Find<wxTextCtrl>("ID_TEXTCTRL3")->GetValue(), "10.1.0.1");
    EXPECT_EQ(Find<wxTextCtrl>("ID_TEXTCTRL6")->GetValue(), "00:01:02:0A:0B:FF");
    EXPECT_EQ(Find<wxTextCtrl>("ID_TEXTCTRL4")->GetValue(), "513");

    // Taken back: the controls' values go into the document.
    Find<wxCheckBox>("ID_CHECKBOX1")->SetValue(false);
    Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->SetValue(255);
    Find<wxSpinCtrl>("ID_SPINCTRLSDLOGLEVEL")->SetValue(0);
    Find<wxSpinCtrl>("ID_SPINCTRLLOGAGE")->SetValue(0);
    m_frame->TakeGeneralSettings();
    EXPECT_EQ(document.GetWriteProtect(), 0);
    EXPECT_EQ(document.GetDataAge(), 255);
    EXPECT_EQ(document.GetSdLogLevel(), 0);
    EXPECT_EQ(document.GetSdLogAge(), 0);
}

TEST_F(MainFrameDisplay, IpSettingsAreCheckedAndTheMacKeptUnlessEdited)
{
    ConfigData& document = m_frame->Document();
    auto* ip = Find<wxTextCtrl>("ID_TEXTCTRL1");
    auto* mac = Find<wxTextCtrl>("ID_TEXTCTRL6");
    const IpBlock before = document.GetIpBlock();

    ip->ChangeValue("192.168.1");
    bool applied = true;
    wxTEST_DIALOG(applied = m_frame->ApplyIpSettings(), ExpectError("The Ethernet configuration looks invalid"));
    EXPECT_FALSE(applied);
    EXPECT_EQ(HexDump(reinterpret_cast<const uint8_t*>(&document.GetIpBlock()), sizeof(IpBlock)),
              HexDump(reinterpret_cast<const uint8_t*>(&before), sizeof(IpBlock)));

    // Outside MAC editing the MAC field is not used: the document keeps its
    // MAC (a write sends zeros instead, without storing them).
    ip->ChangeValue("127.0.0.2");
    mac->ChangeValue("not a mac");
    ASSERT_TRUE(m_frame->ApplyIpSettings());
    const IpBlock& stored = document.GetIpBlock();
    const uint8_t expectedIp[4] = {127, 0, 0, 2};
    EXPECT_EQ(HexDump(stored.ipAddress, 4), HexDump(expectedIp, 4));
    EXPECT_EQ(HexDump(stored.macAddress, 6), HexDump(before.macAddress, 6));

    m_frame->SetMacEditMode(true);
    EXPECT_TRUE(mac->IsEnabled());
    mac->ChangeValue("02:00:00:AB:CD:EF");
    ASSERT_TRUE(m_frame->ApplyIpSettings());
    const uint8_t edited[6] = {0x02, 0x00, 0x00, 0xAB, 0xCD, 0xEF};
    EXPECT_EQ(HexDump(document.GetIpBlock().macAddress, 6), HexDump(edited, 6));
    m_frame->SetMacEditMode(false);
    EXPECT_FALSE(mac->IsEnabled());
}

TEST_F(MainFrameDisplay, ClearFieldsEmptiesTheChosenControls)
{
    auto* deviceId = Find<wxTextCtrl>("ID_DEVICEIDTEXT");
    auto* notes = Find<wxTextCtrl>("ID_NOTESTEXT");
    auto* memory = Find<wxGrid>("ID_GRIDMEMORY");
    auto* nodes = Find<wxGrid>("ID_NODESGRID");
    m_frame->Document().AddNode();
    m_frame->Document().SetWriteProtect(1);
    m_frame->RefreshFromDocument();
    deviceId->ChangeValue("QST-100 v2.1");
    notes->ChangeValue("kept until cleared");

    m_frame->ClearFields(ConfigFrame::CLEAR_DEVICE_ID);
    EXPECT_TRUE(deviceId->GetValue().empty());
    EXPECT_EQ(notes->GetValue(), "kept until cleared");
    EXPECT_EQ(nodes->GetCellValue(0, 0), "Control");

    deviceId->ChangeValue("QST-100 v2.1");
    m_frame->ClearFields(ConfigFrame::CLEAR_DOCUMENT);
    Settle();
    EXPECT_EQ(deviceId->GetValue(), "QST-100 v2.1");
    EXPECT_TRUE(notes->GetValue().empty());
    EXPECT_FALSE(Find<wxCheckBox>("ID_CHECKBOX1")->GetValue());
    for (const char* name : {"ID_TEXTCTRL1", "ID_TEXTCTRL2", "ID_TEXTCTRL3", "ID_TEXTCTRL4", "ID_TEXTCTRL6"})
        EXPECT_TRUE(Find<wxTextCtrl>(name)->GetValue().empty()) << name;
    for (const char* name : {"ID_SPINCTRLDATAAGE", "ID_SPINCTRLSDLOGLEVEL", "ID_SPINCTRLLOGAGE"})
        EXPECT_TRUE(Find<wxSpinCtrl>(name)->GetTextValue().empty()) << name;
    for (int r = 0; r < 6; ++r)
        EXPECT_TRUE(nodes->GetCellValue(r, 0).empty()) << r;
    // The memory map is left as it was, and the document keeps its content.
    EXPECT_EQ(memory->GetCellValue(0, 0), "Node 3");
    EXPECT_EQ(m_frame->Document().GetNodeCount(), 3);
    EXPECT_EQ(m_frame->Document().GetWriteProtect(), 1);
}

TEST_F(MainFrameDisplay, NotesTakeNoMoreThanTheDocumentHolds)
{
    auto* notes = Find<wxTextCtrl>("ID_NOTESTEXT");
    notes->ChangeValue(wxString('a', 125));
    notes->SetFocus();
    notes->SetInsertionPointEnd();
    Settle();
    wxUIActionSimulator keys;
    keys.Text("bcdef");
    Settle();
    EXPECT_EQ(notes->GetValue(), wxString('a', 125) + "bc");
}
