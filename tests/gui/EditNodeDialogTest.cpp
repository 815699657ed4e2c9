#include "FrameTestSupport.h"

#include "config/ConfigData.h"
#include "editor/EditNodeDialog.h"
#include "editor/EditPortPanel.h"
#include "editor/EditProtocolPanel.h"
#include "support/NodeDialogTestSupport.h"
#include "support/NodeImage.h"
#include "support/PanelTestSupport.h"
#include "support/TestSupport.h"

#include <wx/grid.h>
#include <wx/msgdlg.h>
#include <wx/notebook.h>

#include <iterator>
#include <utility>

namespace {

wxChoice* ProtocolChoice(wxWindow& dialog) { return Find<wxChoice>(&dialog, "ID_CHOICEPROTOCOL"); }
wxChoice* PortChoice(wxWindow& dialog) { return Find<wxChoice>(&dialog, "ID_CHOICEPORT"); }
wxNotebook* Pages(wxWindow& dialog) { return Find<wxNotebook>(&dialog, "ID_NOTEBOOK"); }
wxString Warning(wxWindow& dialog) { return Find<wxStaticText>(&dialog, "ID_STATICTEXTWARNING")->GetLabel(); }
wxGrid* SlaveGrid(wxWindow& dialog) { return Find<wxGrid>(&dialog, "ID_GRIDSLAVES"); }
void PressOk(wxWindow& dialog) { Press(Find<wxButton>(&dialog, "ID_BUTTONOK")); }
void PressCancel(wxWindow& dialog) { Press(Find<wxButton>(&dialog, "ID_BUTTONCANCEL")); }

wxString Tabs(wxWindow& dialog)
{
    wxNotebook* pages = Pages(dialog);
    wxString tabs;
    for (size_t page = 0; page < pages->GetPageCount(); ++page)
        tabs += (page ? "|" : "") + pages->GetPageText(page);
    return tabs;
}

// A node image with the protocol code and the port code word.
NodeImage Node(uint8_t protocol, uint16_t portCode)
{
    NodeImage image = FilledImage(0);
    image[0] = protocol;
    image[3] = uint8_t(portCode & 0xFF);
    image[4] = uint8_t(portCode >> 8);
    return image;
}

// Slave entry k of an image: identifier, read start and length, write start and length.
void PutSlave(NodeImage& image, size_t k, uint8_t id, uint8_t readStart, uint8_t length)
{
    image[15 + k] = id;
    image[65 + 2 * k] = readStart;
    image[165 + k] = length;
    image[215 + 2 * k] = uint8_t(readStart + length);
    image[315 + k] = length;
}

class NodeDialogTest : public PanelTest
{
protected:
    using Action = wxExpectModal<EditNodeDialog>::Action;

    // Edit through the modal hook: the action plays the user.
    bool Run(NodeImage& image, Action action)
    {
        NodeEntry entry = EntryOf(image);
        bool accepted = false;
        EditNodeDialog dialog(m_frame);
        wxTEST_DIALOG(accepted = dialog.Edit(entry), wxExpectModal<EditNodeDialog>(std::move(action)));
        image = ImageOf(entry);
        return accepted;
    }

    // Edit in a real modal loop; the action runs inside it.
    bool RunModal(NodeImage& image, Action action)
    {
        NodeEntry entry = EntryOf(image);
        EditNodeDialog dialog(m_frame);
        const bool accepted = EditInModalLoop(dialog, entry, std::move(action));
        image = ImageOf(entry);
        return accepted;
    }
};

} // namespace

TEST_F(NodeDialogTest, OpensOnTheNodesProtocolAndPortWithThreePages)
{
    NodeImage image = Node(PROTOCOL_GENISYS_SLAVE, 0x7000);
    EXPECT_FALSE(Run(image, [](EditNodeDialog& dialog) {
        EXPECT_EQ(dialog.GetTitle(), "Edit Node");
        // Wider where the widest tabs need it.
        EXPECT_EQ(dialog.GetClientSize().GetHeight(), 482);
        EXPECT_GE(dialog.GetClientSize().GetWidth(), 461);
        EXPECT_EQ(dialog.GetMinSize().GetHeight(), 460);
        EXPECT_GE(dialog.GetMinSize().GetWidth(), 455);
        EXPECT_LE(dialog.GetMinSize().GetWidth(), dialog.GetSize().GetWidth());
        EXPECT_EQ(Find<wxStaticText>(&dialog, "ID_STATICTEXT1")->GetLabel(), "Protocol");
        EXPECT_EQ(Find<wxStaticText>(&dialog, "ID_STATICTEXT2")->GetLabel(), "Port");
        EXPECT_EQ(Find<wxButton>(&dialog, "ID_BUTTONOK")->GetLabel(), "OK");
        EXPECT_EQ(Find<wxButton>(&dialog, "ID_BUTTONCANCEL")->GetLabel(), "Cancel");
        EXPECT_NE(wxWindow::FindWindowByName("ID_PANEL1", &dialog), nullptr);

        EXPECT_EQ(Selected(ProtocolChoice(dialog)), "Genisys Slave");
        EXPECT_EQ(Selected(PortChoice(dialog)), "Modem");
        EXPECT_EQ(Tabs(dialog), "Genisys Slave|Modem|Slaves");
        EXPECT_EQ(Pages(dialog)->GetSelection(), 0);
        EXPECT_EQ(Warning(dialog), "");
        PressCancel(dialog);
    }));
}

TEST_F(NodeDialogTest, EveryProtocolAndPortCombination)
{
    const char* const kPortItems[] = {"TCP Server",   "TCP Client",  "UDP Server", "UDP Client",
                                      "Async Serial", "Sync Serial", "Modem",      "SPI"};
    const char* const kPortTabs[] = {"TCP Server",   "TCP Client",  "UDP Server", "UDP Client",
                                     "Serial Async", "Serial Sync", "Modem",      "SPI"};

    NodeImage image = Node(PROTOCOL_CONTROL, 0x1000);
    Run(image, [&](EditNodeDialog& dialog) {
        wxChoice* protocols = ProtocolChoice(dialog);
        wxChoice* ports = PortChoice(dialog);
        ASSERT_EQ(protocols->GetCount(), kProtocolCount);
        ASSERT_EQ(ports->GetCount(), kPortTypeCount);
        ASSERT_EQ(std::size(kSupportedPorts), kProtocolCount);
        for (int p = 0; p < int(kProtocolCount); ++p) {
            const auto& [name, row] = kSupportedPorts[p];
            EXPECT_EQ(protocols->GetString(unsigned(p)), name);
            Choose(protocols, p);
            auto* protocolPage = dynamic_cast<EditProtocolPanel*>(Pages(dialog)->GetPage(0));
            ASSERT_NE(protocolPage, nullptr);
            EXPECT_EQ(protocolPage->ProtocolCode(), p + 1);
            for (int q = 0; q < int(kPortTypeCount); ++q) {
                SCOPED_TRACE(wxString::Format("%s on %s", name, kPortItems[q]).ToStdString());
                EXPECT_EQ(ports->GetString(unsigned(q)), kPortItems[q]);
                Choose(ports, q);
                const bool supported = row[q] == 'Y';
                EXPECT_EQ(dialog.IsSupportedCombination(), supported);
                EXPECT_EQ(EditNodeDialog::IsSupportedCombination(unsigned(p), unsigned(q)), supported);
                EXPECT_EQ(Warning(dialog), supported ? "" : "This protocol/port combination is not supported");
                EXPECT_EQ(Tabs(dialog), wxString(name) + "|" + kPortTabs[q] + "|Slaves");
                EXPECT_EQ(Pages(dialog)->GetSelection(), 1);
                auto* portPage = dynamic_cast<EditPortPanel*>(Pages(dialog)->GetPage(1));
                ASSERT_NE(portPage, nullptr);
                EXPECT_EQ(portPage->PortType(), q + 1);
            }
        }
        EXPECT_FALSE(EditNodeDialog::IsSupportedCombination(kProtocolCount, 0));
        EXPECT_FALSE(EditNodeDialog::IsSupportedCombination(kProtocolCount - 1, kPortTypeCount));
        PressCancel(dialog);
    });
}

TEST_F(NodeDialogTest, UnsupportedCombinationWarnsAndRefusesOkUntilMended)
{
    NodeImage image = Node(PROTOCOL_IO_MASTER, 0x5000);
    bool accepted = false;
    NodeEntry entry = EntryOf(image);
    EditNodeDialog dialog(m_frame);
    wxTEST_DIALOG(accepted = dialog.Edit(entry),
                  wxExpectModal<EditNodeDialog>([](EditNodeDialog& shown) {
                      EXPECT_EQ(Warning(shown), "This protocol/port combination is not supported");
                      // The whole line shows, above the pages.
                      const wxRect line = Find<wxStaticText>(&shown, "ID_STATICTEXTWARNING")->GetRect();
                      EXPECT_GE(line.GetWidth(), Find<wxStaticText>(&shown, "ID_STATICTEXTWARNING")->GetBestSize().GetWidth());
                      EXPECT_GT(line.GetHeight(), 0);
                      EXPECT_LE(line.GetBottom(), Pages(shown)->GetRect().GetTop());
                      PressOk(shown);
                      EXPECT_NE(shown.GetReturnCode(), EditNodeDialog::kResultOk);
                      EXPECT_EQ(Selected(PortChoice(shown)), "Async Serial");
                      Choose(PortChoice(shown), 7);
                      EXPECT_EQ(Warning(shown), "");
                      PressOk(shown);
                  }),
                  ExpectMessage("Sorry, this protocol/port combination is not supported.", wxOK, wxOK | wxICON_INFORMATION));
    EXPECT_TRUE(accepted);
    EXPECT_EQ(entry.protocol, PROTOCOL_IO_MASTER);
    EXPECT_EQ(ImageOf(entry)[4] >> 4, 8);   // SPI
}

TEST_F(NodeDialogTest, ChoosingTheShownProtocolAgainReloadsItFromTheNode)
{
    NodeImage image = Node(PROTOCOL_S2_MASTER, 0x1000);
    image[365] = 50;   // poll interval 500 ms
    EXPECT_FALSE(Run(image, [](EditNodeDialog& dialog) {
        auto poll = [&dialog] { return Find<wxSpinCtrl>(Pages(dialog)->GetPage(0), "ID_SPINCTRLPOLLINTERVAL"); };
        EXPECT_EQ(poll()->GetValue(), 500);
        poll()->SetValue(2000);
        Choose(ProtocolChoice(dialog), 4);
        EXPECT_EQ(poll()->GetValue(), 500);
        EXPECT_EQ(Pages(dialog)->GetPageCount(), 3u);
        EXPECT_EQ(Pages(dialog)->GetSelection(), 0);

        // Away and back: the node's value again, not what was typed.
        poll()->SetValue(2000);
        Choose(ProtocolChoice(dialog), 8);
        Choose(ProtocolChoice(dialog), 4);
        EXPECT_EQ(poll()->GetValue(), 500);
        PressCancel(dialog);
    }));
}

TEST_F(NodeDialogTest, ControlAndNtpClientNodesKeepNoSlaves)
{
    for (int protocol : {0, 10}) {
        SCOPED_TRACE(protocol);
        NodeImage image = Node(PROTOCOL_UCE_MASTER, 0x5000);
        image[14] = 2;
        PutSlave(image, 0, 1, 0, 4);
        PutSlave(image, 1, 2, 8, 4);
        const NodeImage before = image;
        EXPECT_TRUE(Run(image, [protocol](EditNodeDialog& dialog) {
            Choose(ProtocolChoice(dialog), protocol);
            // Not even an ID that would be refused stops OK: the table is not kept.
            SlaveGrid(dialog)->SetCellValue(0, 3, "999");
            PressOk(dialog);
        }));
        EXPECT_EQ(image[0], protocol + 1);
        EXPECT_EQ(image[14], 0);
        // The arrays themselves are left as they were.
        for (size_t offset = 15; offset < 365; ++offset)
            ASSERT_EQ(image[offset], before[offset]) << offset;
    }

    NodeImage image = Node(PROTOCOL_UCE_MASTER, 0x5000);
    image[14] = 1;
    PutSlave(image, 0, 1, 0, 4);
    EXPECT_TRUE(Run(image, [](EditNodeDialog& dialog) {
        wxGrid* grid = SlaveGrid(dialog);
        EXPECT_EQ(grid->GetCellValue(0, 0), "1");
        grid->SetCellValue(0, 2, "9");
        grid->SetCellValue(1, 2, "100");
        grid->SetCellValue(2, 2, "2");
        PressOk(dialog);
    }));
    EXPECT_EQ(image[14], 2);
    EXPECT_EQ(image[16], 9);
    EXPECT_EQ(image[67], 99);
    EXPECT_EQ(image[166], 2);
}

TEST_F(NodeDialogTest, SlaveIdThatNoByteHoldsKeepsTheDialogOpen)
{
    NodeImage image = Node(PROTOCOL_HOST_MASTER, 0x1000);
    bool accepted = false;
    NodeEntry entry = EntryOf(image);
    EditNodeDialog dialog(m_frame);
    wxTEST_DIALOG(accepted = dialog.Edit(entry),
                  wxExpectModal<EditNodeDialog>([](EditNodeDialog& shown) {
                      SlaveGrid(shown)->SetCellValue(0, 0, "5");
                      SlaveGrid(shown)->SetCellValue(0, 2, "300");
                      PressOk(shown);
                      EXPECT_NE(shown.GetReturnCode(), EditNodeDialog::kResultOk);
                      EXPECT_EQ(Pages(shown)->GetSelection(), 2);
                      SlaveGrid(shown)->SetCellValue(0, 2, "30");
                      PressOk(shown);
                  }),
                  ExpectMessage("Slave 3: the ID 300 is not a slave ID. Enter an ID from 0 to 255.", wxOK,
                                wxOK | wxICON_WARNING));
    EXPECT_TRUE(accepted);
    EXPECT_EQ(entry.slaveCount, 2);
    EXPECT_EQ(entry.slaveId[0], 5);
    EXPECT_EQ(entry.slaveId[1], 30);
}

TEST_F(NodeDialogTest, CodesOutsideTheTablesOpenAsControlOnTcpServer)
{
    const std::pair<uint8_t, uint16_t> kNodes[] = {{0, 0x0000}, {14, 0x9ABC}, {0xFF, 0xF123}, {1, 0x1000}};
    for (const auto& [protocol, portCode] : kNodes) {
        SCOPED_TRACE(int(protocol));
        NodeImage image = Node(protocol, portCode);
        EXPECT_TRUE(Run(image, [](EditNodeDialog& dialog) {
            EXPECT_EQ(ProtocolChoice(dialog)->GetSelection(), 0);
            EXPECT_EQ(PortChoice(dialog)->GetSelection(), 0);
            EXPECT_EQ(Tabs(dialog), "Control|TCP Server|Slaves");
            PressOk(dialog);
        }));
        EXPECT_EQ(image[0], 1);
        EXPECT_EQ(image[4] >> 4, 1);
    }
}

TEST_F(NodeDialogTest, PortPageFollowsTheChosenProtocol)
{
    NodeImage image = Node(PROTOCOL_CONTROL, 0x2000);
    EXPECT_FALSE(Run(image, [](EditNodeDialog& dialog) {
        auto sourcePort = [&dialog] { return Find<wxCheckBox>(Pages(dialog)->GetPage(1), "ID_CHECKBOXSOURCEPORT"); };
        EXPECT_TRUE(sourcePort()->IsEnabled());
        Choose(ProtocolChoice(dialog), 11);   // Analogue/Audio Master
        EXPECT_FALSE(sourcePort()->IsEnabled());
        Choose(PortChoice(dialog), 3);        // UDP Client, a fresh page
        EXPECT_FALSE(sourcePort()->IsEnabled());
        Choose(ProtocolChoice(dialog), 0);
        EXPECT_TRUE(sourcePort()->IsEnabled());
        PressCancel(dialog);
    }));
}

TEST_F(NodeDialogTest, OnlyOkInTheModalLoopAccepts)
{
    NodeImage image = Node(PROTOCOL_NULL, 0x8000);
    EXPECT_TRUE(RunModal(image, [](EditNodeDialog& dialog) {
        Choose(ProtocolChoice(dialog), 12);
        PressOk(dialog);
    }));
    EXPECT_FALSE(RunModal(image, [](EditNodeDialog& dialog) { PressCancel(dialog); }));
    EXPECT_FALSE(RunModal(image, [](EditNodeDialog& dialog) { dialog.Close(); }));
    EXPECT_FALSE(RunModal(image, [](EditNodeDialog& dialog) {
        wxKeyEvent escape(wxEVT_CHAR_HOOK);
        escape.m_keyCode = WXK_ESCAPE;
        escape.SetEventObject(&dialog);
        dialog.GetEventHandler()->ProcessEvent(escape);
    }));
}

TEST_F(NodeDialogTest, DocumentTakesTheNodeOnlyWhenAccepted)
{
    ConfigData config;
    const NodeImage before = ImageOf(*config.GetNode(1));
    const NodeEditor editor = MakeNodeEditor(m_frame);

    bool edited = true;
    wxTEST_DIALOG(edited = config.EditNode(1, editor), wxExpectModal<EditNodeDialog>([](EditNodeDialog& dialog) {
                      Choose(ProtocolChoice(dialog), 8);
                      PressCancel(dialog);
                  }));
    EXPECT_FALSE(edited);
    EXPECT_FALSE(config.IsModified());
    EXPECT_EQ(Differences(ImageOf(*config.GetNode(1)), before), "");

    wxTEST_DIALOG(edited = config.EditNode(1, editor), wxExpectModal<EditNodeDialog>([](EditNodeDialog& dialog) {
                      Choose(ProtocolChoice(dialog), 8);
                      PressOk(dialog);
                  }));
    EXPECT_TRUE(edited);
    EXPECT_TRUE(config.IsModified());
    EXPECT_EQ(config.GetProtocol(1), PROTOCOL_HOST_MASTER);
}

TEST_F(NodeDialogTest, SwitchingTheProtocolAwayAndBackKeepsTheFixedSourcePort)
{
    for (const uint16_t portCode : {0x2001, 0x4001}) {
        SCOPED_TRACE(portCode);
        // A UCE Master client of 127.0.0.1:502 that sends from port 6001.
        NodeImage image = Node(PROTOCOL_UCE_MASTER, portCode);
        image[5] = 127, image[6] = 0, image[7] = 0, image[8] = 1;
        image[9] = 0xF6, image[10] = 0x01;
        image[366] = 0x17, image[367] = 0x71;   // 6001, high byte first
        image[14] = 1;
        PutSlave(image, 0, 1, 0, 4);
        const NodeImage before = image;
        EXPECT_TRUE(Run(image, [](EditNodeDialog& dialog) {
            auto box = [&dialog] { return Find<wxCheckBox>(Pages(dialog)->GetPage(1), "ID_CHECKBOXSOURCEPORT"); };
            auto port = [&dialog] { return Find<wxSpinCtrl>(Pages(dialog)->GetPage(1), "ID_SPINCTRLSOURCEPORT"); };
            EXPECT_TRUE(box()->GetValue());
            Choose(ProtocolChoice(dialog), 11);   // Analogue/Audio Master takes bytes 366..367
            EXPECT_FALSE(box()->GetValue());
            EXPECT_FALSE(box()->IsEnabled());
            Choose(ProtocolChoice(dialog), 2);    // UCE Master again
            EXPECT_TRUE(box()->GetValue());
            EXPECT_TRUE(box()->IsEnabled());
            EXPECT_EQ(port()->GetValue(), 6001);
            PressOk(dialog);
        }));
        EXPECT_EQ(Differences(image, before), "");

        // Staying on Analogue/Audio Master drops the fixed source port: its
        // first trigger (20000 mV, 0x4E20 low byte first) has the bytes.
        image = before;
        EXPECT_TRUE(Run(image, [](EditNodeDialog& dialog) {
            Choose(ProtocolChoice(dialog), 11);
            PressOk(dialog);
        }));
        EXPECT_EQ(image[0], 12);
        EXPECT_EQ(image[3], 0x00);
        EXPECT_EQ(image[4], before[4]);
        EXPECT_EQ(image[366], 0x20);
        EXPECT_EQ(image[367], 0x4E);
    }
}
