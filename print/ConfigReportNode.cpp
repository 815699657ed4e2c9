// Protocol and port lines of one node in the report.
#include "print/ConfigReport.h"

#include "config/ConfigLayout.h"

void AppendProtocolLines(const NodeEntry&, ReportLines&)
{
}

void AppendPortLines(const NodeEntry&, ReportLines&)
{
}
