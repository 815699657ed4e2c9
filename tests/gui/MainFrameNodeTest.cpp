// The node commands of the main window: Add, Edit and Delete from the menus,
// the nodes grid's context menu and a double click on a grid cell.
#include "FrameTestSupport.h"

#include "config/ConfigData.h"
#include "support/NodeDialogTestSupport.h"
#include "support/NodeImage.h"

#include <wx/choice.h>
#include <wx/grid.h>
#include <wx/menu.h>
#include <wx/notebook.h>

#include <cstring>
#include <vector>

namespace {

using MainFrameNodes = FrameTest;
using DialogAction = wxExpectModal<EditNodeDialog>::Action;

const wxString kEditQuestion =
    "It is recommended that you do not edit this Control protocol node.\n\n"
    "If you do, you may no longer be able to reconfigure the device. "
    "You will have to do a factory reset to make changes.\n\n"
    "Do you want to continue?";
const wxString kDeleteQuestion =
    "It is recommended that you do not delete this Control protocol node.\n\n"
    "If you do, you may no longer be able to reconfigure the device. "
    "You will have to do a factory reset to make changes.\n\n"
    "Do you want to continue?";

void PressButton(wxWindow& dialog, const char* name)
{
    auto* button = dynamic_cast<wxButton*>(wxWindow::FindWindowByName(name, &dialog));
    ASSERT_NE(button, nullptr) << name;
    Press(button);
}

DialogAction PressOk()
{
    return [](EditNodeDialog& dialog) { PressButton(dialog, "ID_BUTTONOK"); };
}

DialogAction PressCancel()
{
    return [](EditNodeDialog& dialog) { PressButton(dialog, "ID_BUTTONCANCEL"); };
}

// A dialog that must not open; should it open, it is cancelled.
wxExpectModal<EditNodeDialog> NoDialog()
{
    return wxExpectModal<EditNodeDialog>([](EditNodeDialog& dialog) {
               ADD_FAILURE() << "the node dialog opened";
               PressButton(dialog, "ID_BUTTONCANCEL");
           })
        .Optional();
}

std::vector<uint8_t> MainBytes(const ConfigData& config)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(&config.GetMainBlock());
    return {bytes, bytes + sizeof(MainBlock)};
}

wxString Items(const wxMenu& menu)
{
    wxString items;
    for (const wxMenuItem* item : menu.GetMenuItems())
        items += (items.empty() ? "" : "|") + item->GetItemLabel();
    return items;
}

} // namespace

TEST_F(MainFrameNodes, AddAppendsTheEditedNodeOrNothingWhenCancelled)
{
    ConfigData& config = m_frame->Document();
    // The entries behind the count are kept and sent too: each its own.
    for (unsigned i = 2; i < 6; ++i)
        std::memset(config.GetNode(i), int(0x40 + i), sizeof(NodeEntry));
    const std::vector<uint8_t> before = MainBytes(config);
    m_frame->SetStatus("before");
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUNODEADD), wxExpectModal<EditNodeDialog>([](EditNodeDialog& dialog) {
                      // The new node: UCE Master on asynchronous serial.
                      EXPECT_EQ(dynamic_cast<wxChoice*>(wxWindow::FindWindowByName("ID_CHOICEPROTOCOL", &dialog))
                                    ->GetStringSelection(),
                                "UCE Master");
                      PressButton(dialog, "ID_BUTTONCANCEL");
                  }));
    EXPECT_EQ(config.GetNodeCount(), 2);
    EXPECT_EQ(MainBytes(config), before);
    EXPECT_FALSE(config.IsModified());
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "before");

    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUNODEADD), wxExpectModal<EditNodeDialog>(PressOk()));
    EXPECT_EQ(config.GetNodeCount(), 3);
    EXPECT_TRUE(config.IsModified());
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Node added");
    EXPECT_EQ(Find<wxGrid>("ID_NODESGRID")->GetCellValue(2, 0), "UCE Master");
}

TEST_F(MainFrameNodes, SixNodesRefuseAdd)
{
    ConfigData& config = m_frame->Document();
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(config.AddNode());
    const std::vector<uint8_t> before = MainBytes(config);
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUNODEADD), NoDialog());
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Failed to add node");
    EXPECT_EQ(MainBytes(config), before);
}

TEST_F(MainFrameNodes, WithoutNodesEditAndDeleteFail)
{
    ConfigData& config = m_frame->Document();
    ASSERT_TRUE(config.DeleteNode(1));
    ASSERT_TRUE(config.DeleteNode(0));
    m_frame->RefreshFromDocument();
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUNODEEDIT), NoDialog());
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Failed/Aborted node edit");
    Menu(ConfigFrame::ID_MENUNODEDELETE);
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Failed to delete node");
    EXPECT_EQ(config.GetNodeCount(), 0);
}

TEST_F(MainFrameNodes, ControlLinkInNodeOneIsGuardedByAQuestion)
{
    ConfigData& config = m_frame->Document();
    const std::vector<uint8_t> before = MainBytes(config);
    m_frame->SetStatus("before");
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUNODEEDIT), ExpectQuestion(kEditQuestion, wxNO));
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUNODEDELETE), ExpectQuestion(kDeleteQuestion, wxNO));
    EXPECT_EQ(MainBytes(config), before);
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "before");

    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUNODEEDIT), ExpectQuestion(kEditQuestion, wxYES),
                  wxExpectModal<EditNodeDialog>(PressCancel()));
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Failed/Aborted node edit");
    EXPECT_EQ(MainBytes(config), before);

    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUNODEEDIT), ExpectQuestion(kEditQuestion, wxYES),
                  wxExpectModal<EditNodeDialog>(PressOk()));
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Node edited");
    EXPECT_TRUE(config.IsModified());

    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUNODEDELETE), ExpectQuestion(kDeleteQuestion, wxYES));
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Node deleted");
    ASSERT_EQ(config.GetNodeCount(), 1);
    // The former node 2 (Control on a serial port) is not guarded.
    EXPECT_FALSE(config.IsControlLinkNode(0));
    Menu(ConfigFrame::ID_MENUNODEDELETE);
    EXPECT_EQ(config.GetNodeCount(), 0);
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Node deleted");
}

TEST_F(MainFrameNodes, DeleteActsOnTheCursorRowWithoutAsking)
{
    ConfigData& config = m_frame->Document();
    ASSERT_TRUE(config.AddNode());
    m_frame->RefreshFromDocument();
    auto* grid = Find<wxGrid>("ID_NODESGRID");
    grid->SetGridCursor(1, 3);
    Menu(ConfigFrame::ID_MENUNODEDELETE);
    ASSERT_EQ(config.GetNodeCount(), 2);
    EXPECT_EQ(config.GetProtocol(1), PROTOCOL_UCE_MASTER);
    EXPECT_EQ(grid->GetCellValue(1, 0), "UCE Master");
    EXPECT_EQ(grid->GetCellValue(2, 0), "");
}

TEST_F(MainFrameNodes, GridContextMenuOffersEditAndDeleteOnlyOnNodes)
{
    auto* grid = Find<wxGrid>("ID_NODESGRID");
    grid->SetGridCursor(0, 0);

    auto menu = m_frame->BuildNodesGridMenu(4, 2);
    EXPECT_EQ(Items(*menu), "&Add node");
    EXPECT_EQ(menu->FindItemByPosition(0)->GetId(), ConfigFrame::ID_MENUNODEADD);
    EXPECT_EQ(grid->GetGridCursorRow(), 0);

    menu = m_frame->BuildNodesGridMenu(1, 4);
    EXPECT_EQ(Items(*menu), "&Add node|&Edit node...|&Delete node");
    EXPECT_EQ(menu->FindItemByPosition(1)->GetId(), ConfigFrame::ID_MENUNODEEDIT);
    EXPECT_EQ(menu->FindItemByPosition(2)->GetId(), ConfigFrame::ID_MENUNODEDELETE);
    EXPECT_EQ(grid->GetGridCursorRow(), 1);
    EXPECT_EQ(grid->GetGridCursorCol(), 4);

    menu = m_frame->BuildNodesGridMenu(0, 1);
    EXPECT_EQ(grid->GetGridCursorRow(), 0);
    EXPECT_EQ(grid->GetGridCursorCol(), 1);
    // A click beside the cells moves nothing.
    menu = m_frame->BuildNodesGridMenu(0, -1);
    EXPECT_EQ(grid->GetGridCursorCol(), 1);
}

TEST_F(MainFrameNodes, DoubleClickEditsTheClickedNodeOnItsProtocolPage)
{
    ConfigData& config = m_frame->Document();
    auto* grid = Find<wxGrid>("ID_NODESGRID");
    grid->SetGridCursor(0, 0);
    // The "Slave IDs" cell of node 2.
    wxGridEvent click(grid->GetId(), wxEVT_GRID_CELL_LEFT_DCLICK, grid, 1, 2);
    wxTEST_DIALOG(grid->ProcessWindowEvent(click), wxExpectModal<EditNodeDialog>([](EditNodeDialog& dialog) {
                      auto* pages = dynamic_cast<wxNotebook*>(wxWindow::FindWindowByName("ID_NOTEBOOK", &dialog));
                      ASSERT_NE(pages, nullptr);
                      EXPECT_EQ(pages->GetSelection(), 0);
                      EXPECT_EQ(pages->GetPageText(0), "Control");
                      EXPECT_EQ(pages->GetPageText(1), "Serial Async");
                      auto* protocol = dynamic_cast<wxChoice*>(wxWindow::FindWindowByName("ID_CHOICEPROTOCOL", &dialog));
                      protocol->SetSelection(12);
                      wxCommandEvent choose(wxEVT_CHOICE, protocol->GetId());
                      choose.SetEventObject(protocol);
                      protocol->GetEventHandler()->ProcessEvent(choose);
                      PressButton(dialog, "ID_BUTTONOK");
                  }));
    Settle();
    EXPECT_EQ(config.GetProtocol(1), PROTOCOL_NULL);
    EXPECT_EQ(config.GetProtocol(0), PROTOCOL_CONTROL);
    EXPECT_EQ(grid->GetCellValue(1, 0), "Null");
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Node edited");
}

TEST_F(MainFrameNodes, AModemNodeOpenedAndAcceptedIsSavedByteForByte)
{
    // A UCE Master node on a modem in mode 14 ("V22bis 2400 QAM Lo"), which
    // the dialog's mode list does not offer: port word 0xE1C0.
    NodeImage node = FilledImage(0);
    node[0] = 3;                          // UCE Master
    node[3] = 0x00, node[4] = 0x70;       // modem
    node[9] = 2, node[10] = 3;            // postamble, preamble
    node[12] = 0xC0, node[13] = 0xE1;     // mode 14, Rx attenuation 0, Tx attenuation 7
    node[14] = 1;                         // one slave: ID 1 reads bytes 0..3 and writes 4..7
    node[15] = 1, node[165] = 4, node[215] = 4, node[315] = 4;
    ConfigData source;
    *source.GetNode(1) = EntryOf(node);
    const std::string path = m_dir.File("modem.qst");
    ASSERT_TRUE(source.Save(path));

    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);
    Settle();
    auto* grid = Find<wxGrid>("ID_NODESGRID");
    wxGridEvent click(grid->GetId(), wxEVT_GRID_CELL_LEFT_DCLICK, grid, 1, 0);
    wxTEST_DIALOG(grid->ProcessWindowEvent(click), wxExpectModal<EditNodeDialog>([](EditNodeDialog& dialog) {
                      auto* mode = dynamic_cast<wxChoice*>(wxWindow::FindWindowByName("ID_CHOICEMODE", &dialog));
                      ASSERT_NE(mode, nullptr);
                      EXPECT_EQ(mode->GetStringSelection(), "V22bis 2400 QAM Lo");
                      PressButton(dialog, "ID_BUTTONOK");
                  }));
    Settle();
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Node edited");
    Menu(ConfigFrame::ID_MENUSAVE);
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Configuration saved to file");

    ConfigData saved;
    wxString error;
    ASSERT_TRUE(saved.Load(path, error)) << error;
    EXPECT_EQ(Differences(ImageOf(*saved.GetNode(1)), node), "");
}
