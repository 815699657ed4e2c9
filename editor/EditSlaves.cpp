#include "editor/EditSlaves.h"

#include "editor/EditorIds.h"

#include <wx/grid.h>
#include <wx/sizer.h>

#include <array>
#include <climits>

using namespace EditorIds;

namespace {

constexpr std::array<const char*, EditSlaves::ROW_COUNT> kRowLabels{
    {"ID", "Read Offset (bytes)", "Read Size (bytes)", "Write Offset (bytes)", "Write Size (bytes)"}};
constexpr int kColumnWidth = 75;
constexpr long kMaxSlaveId = 255;
// Offsets are shown counted from 1, so the last byte of the memory shows as
// its size.
constexpr long kMaxShownOffset = kSharedMemorySize;
constexpr long kMaxSize = 255;

// The cell's number when its whole text, blanks around it aside, is a
// decimal integer. A number too large for a long saturates, so that it still
// counts as a number.
std::optional<long> CellNumber(const wxString& text)
{
    size_t pos = 0;
    size_t end = text.size();
    while (pos < end && wxIsspace(text[pos]))
        ++pos;
    while (end > pos && wxIsspace(text[end - 1]))
        --end;
    bool negative = false;
    if (pos < end && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    if (pos == end)
        return std::nullopt;
    long value = 0;
    for (; pos < end; ++pos) {
        const wxUniChar c = text[pos];
        if (c < '0' || c > '9')
            return std::nullopt;
        const long digit = long(c.GetValue() - '0');
        value = value > (LONG_MAX - digit) / 10 ? LONG_MAX : value * 10 + digit;
    }
    return negative ? -value : value;
}

// The number in 1..max, or 0 for anything else.
long InRangeOrZero(const wxString& text, long max)
{
    const std::optional<long> value = CellNumber(text);
    return value && *value >= 1 && *value <= max ? *value : 0;
}

} // namespace

EditSlaves::EditSlaves(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxPanel(parent, id, pos, size, wxTAB_TRAVERSAL)
{
    auto* inner = new wxPanel(this, ID_PANEL1.id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, ID_PANEL1.name);
    m_grid = new wxGrid(inner, ID_GRIDSLAVES.id, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS, ID_GRIDSLAVES.name);
    m_grid->CreateGrid(ROW_COUNT, 1, wxGrid::wxGridSelectCells);
    m_grid->AppendCols(int(kMaxSlaves) - 1);
    m_grid->EnableEditing(true);
    m_grid->EnableGridLines(true);
    m_grid->SetDefaultColSize(kColumnWidth, true);
    for (int row = 0; row < ROW_COUNT; ++row)
        m_grid->SetRowLabelValue(row, kRowLabels[size_t(row)]);
    for (int column = 0; column < int(kMaxSlaves); ++column)
        m_grid->SetColLabelValue(column, wxString::Format("Slave %d", column + 1));
    m_grid->SetDefaultCellFont(GetFont());
    m_grid->SetDefaultCellTextColour(GetForegroundColour());
    m_grid->SetRowLabelAlignment(wxALIGN_LEFT, wxALIGN_CENTRE);
    m_grid->SetRowLabelSize(wxGRID_AUTOSIZE);
    m_grid->SetColLabelSize(wxGRID_AUTOSIZE);

    auto* innerSizer = new wxBoxSizer(wxVERTICAL);
    innerSizer->Add(m_grid, 1, wxALL | wxEXPAND, 5);
    inner->SetSizer(innerSizer);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(inner, 1, wxEXPAND);
    SetSizer(outer);
}

bool EditSlaves::Load(const NodeEntry& node)
{
    m_loaded = node;
    for (unsigned k = 0; k < kMaxSlaves; ++k) {
        const int column = int(k);
        if (k < node.slaveCount) {
            m_grid->SetCellValue(ROW_ID, column, wxString::Format("%d", node.slaveId[k]));
            m_grid->SetCellValue(ROW_READ_OFFSET, column, wxString::Format("%d", node.readStart[k] + 1));
            m_grid->SetCellValue(ROW_READ_SIZE, column, wxString::Format("%d", node.readLength[k]));
            m_grid->SetCellValue(ROW_WRITE_OFFSET, column, wxString::Format("%d", node.writeStart[k] + 1));
            m_grid->SetCellValue(ROW_WRITE_SIZE, column, wxString::Format("%d", node.writeLength[k]));
        } else {
            for (int row = 0; row < ROW_COUNT; ++row)
                m_grid->SetCellValue(row, column, wxString());
        }
    }
    m_shown.clear();
    for (int column = 0; column < int(kMaxSlaves); ++column)
        for (int row = 0; row < ROW_COUNT; ++row)
            m_shown.push_back(m_grid->GetCellValue(row, column));
    return true;
}

bool EditSlaves::Shows(int row, int column) const
{
    const size_t cell = size_t(column) * ROW_COUNT + size_t(row);
    return m_loaded && column < int(m_loaded->slaveCount) && cell < m_shown.size() &&
           m_grid->GetCellValue(row, column) == m_shown[cell];
}

uint16_t EditSlaves::StartAt(int row, int column, uint16_t loaded) const
{
    if (Shows(row, column))
        return loaded;
    const long offset = InRangeOrZero(m_grid->GetCellValue(row, column), kMaxShownOffset);
    return uint16_t(offset > 0 ? offset - 1 : 0);
}

uint8_t EditSlaves::SizeAt(int row, int column, uint8_t loaded) const
{
    return Shows(row, column) ? loaded : uint8_t(InRangeOrZero(m_grid->GetCellValue(row, column), kMaxSize));
}

bool EditSlaves::IsUnchanged() const
{
    for (int column = 0; column < int(kMaxSlaves); ++column)
        for (int row = 0; row < ROW_COUNT; ++row) {
            const size_t cell = size_t(column) * ROW_COUNT + size_t(row);
            if (cell >= m_shown.size() || m_grid->GetCellValue(row, column) != m_shown[cell])
                return false;
        }
    return m_loaded.has_value();
}

bool EditSlaves::Store(NodeEntry& node)
{
    CommitCellEdit();
    // A table the user left as it was is stored as it was loaded, count
    // included, even where the grid cannot show it.
    if (IsUnchanged()) {
        // Element by element: the packed 16-bit members are copied by value.
        const NodeEntry& loaded = *m_loaded;
        node.slaveCount = loaded.slaveCount;
        for (size_t k = 0; k < kMaxSlaves; ++k) {
            node.slaveId[k] = loaded.slaveId[k];
            node.readStart[k] = loaded.readStart[k];
            node.readLength[k] = loaded.readLength[k];
            node.writeStart[k] = loaded.writeStart[k];
            node.writeLength[k] = loaded.writeLength[k];
        }
        return true;
    }
    const NodeEntry loaded = m_loaded.value_or(NodeEntry{});
    unsigned n = 0;
    for (int column = 0; column < int(kMaxSlaves); ++column) {
        const std::optional<long> id = CellNumber(m_grid->GetCellValue(ROW_ID, column));
        // An ID that the byte cannot hold is never stored as another one;
        // CheckIds lets the user mend it before the dialog is accepted.
        if (!id || *id < 0 || *id > kMaxSlaveId)
            continue;
        const size_t k = size_t(column);
        node.slaveId[n] = uint8_t(*id);
        node.readStart[n] = StartAt(ROW_READ_OFFSET, column, loaded.readStart[k]);
        node.readLength[n] = SizeAt(ROW_READ_SIZE, column, loaded.readLength[k]);
        node.writeStart[n] = StartAt(ROW_WRITE_OFFSET, column, loaded.writeStart[k]);
        node.writeLength[n] = SizeAt(ROW_WRITE_SIZE, column, loaded.writeLength[k]);
        ++n;
    }
    node.slaveCount = uint8_t(n);
    return true;
}

bool EditSlaves::CheckIds(wxString& problem)
{
    CommitCellEdit();
    for (int column = 0; column < int(kMaxSlaves); ++column) {
        const wxString text = m_grid->GetCellValue(ROW_ID, column);
        const std::optional<long> id = CellNumber(text);
        if (id && (*id < 0 || *id > kMaxSlaveId)) {
            problem = wxString::Format("Slave %d: the ID %s is not a slave ID. Enter an ID from 0 to 255.",
                                       column + 1, text.Strip(wxString::both));
            m_grid->SetGridCursor(ROW_ID, column);
            m_grid->MakeCellVisible(ROW_ID, column);
            return false;
        }
    }
    return true;
}

void EditSlaves::CommitCellEdit()
{
    if (m_grid->IsCellEditControlEnabled())
        m_grid->DisableCellEditControl();
}
