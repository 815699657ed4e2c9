// Opening a node and pressing OK without touching a control gives the node's
// bytes back as they were, for every protocol and port the dialog accepts and
// for many nodes of random bytes: values that no control can show included.
#include "config/ConfigLayout.h"
#include "editor/EditNodeDialog.h"
#include "support/NodeDialogTestSupport.h"
#include "support/NodeImage.h"
#include "support/PanelTestSupport.h"
#include "support/TestSupport.h"

#include <cctype>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// Nodes per protocol and port; each has a seed of its own, printed when it
// fails, so that one node can be looked at again. Every node is a dialog of
// its own, which takes the toolkit some 15 ms to build (four times that with
// the sanitizers), so the suite's default keeps within its time; the
// environment variable QST_RANDOM_NODES asks for more (200 gives 17000
// nodes). Node n has the same bytes whatever the count.
constexpr unsigned kDefaultNodesPerPort = 4;
constexpr uint32_t kSeedBase = 0x5EED0000;

unsigned NodesPerPort()
{
    const char* asked = std::getenv("QST_RANDOM_NODES");
    const unsigned long count = asked ? std::strtoul(asked, nullptr, 10) : 0;
    return count > 0 && count < 256 ? unsigned(count) : kDefaultNodesPerPort;
}

uint32_t NodeSeed(uint8_t protocol, uint8_t portType, unsigned node)
{
    return kSeedBase + protocol * 0x1000u + portType * 0x100u + node;
}

NodeImage RandomNode(uint32_t seed, uint8_t protocol, uint8_t portType)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    NodeImage image;
    for (uint8_t& b : image)
        b = uint8_t(byte(random));
    image[0] = protocol;
    image[4] = uint8_t(portType << 4 | (image[4] & 0x0F));   // port type, bits 12..15 of the port code
    return image;
}

// What OK stores for an untouched node. The bytes a store changes by rule,
// each with its reason:
// - Control (1) and NTP Client (11) nodes have no slaves: the slave count
//   (byte 14) is stored as 0. The slave arrays keep their bytes.
// Nothing else may change.
NodeImage ExpectedAfterOk(const NodeImage& loaded)
{
    NodeImage expected = loaded;
    if (loaded[0] == 1 || loaded[0] == 11)
        expected[14] = 0;
    return expected;
}

class UntouchedNode : public PanelTest, public ::testing::WithParamInterface<int>
{
};

std::string CaseName(const ::testing::TestParamInfo<int>& info)
{
    std::string name;
    for (const char* c = kSupportedPorts[info.param].first; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c)))
            name += *c;
    return name;
}

} // namespace

TEST_P(UntouchedNode, OkStoresEveryByteAsLoaded)
{
    const auto& [name, ports] = kSupportedPorts[GetParam()];
    const uint8_t protocol = uint8_t(GetParam() + 1);
    const unsigned nodesPerPort = NodesPerPort();
    unsigned failures = 0;
    unsigned nodes = 0;
    unsigned supportedPorts = 0;
    for (uint8_t portType = 1; portType <= 8; ++portType) {
        if (ports[portType - 1] != 'Y')
            continue;
        ++supportedPorts;
        for (unsigned n = 0; n < nodesPerPort && failures < 3; ++n, ++nodes) {
            const uint32_t seed = NodeSeed(protocol, portType, n);
            const NodeImage loaded = RandomNode(seed, protocol, portType);
            NodeEntry entry = EntryOf(loaded);
            bool accepted = false;
            {
                EditNodeDialog dialog(m_frame);
                wxTEST_DIALOG(accepted = dialog.Edit(entry), wxExpectModal<EditNodeDialog>([](EditNodeDialog& shown) {
                                  Press(Find<wxButton>(&shown, "ID_BUTTONOK"));
                              }));
            }
            const std::string differences = Differences(ImageOf(entry), ExpectedAfterOk(loaded));
            if (accepted && differences.empty())
                continue;
            ++failures;
            ADD_FAILURE() << name << " on port type " << int(portType) << ", node seed 0x" << std::hex << seed
                          << std::dec << (accepted ? "" : ": OK did not accept") << "\n"
                          << differences << "\nloaded: " << HexDump(loaded.data(), loaded.size());
        }
    }
    if (failures == 0) {
        EXPECT_EQ(nodes, supportedPorts * nodesPerPort);
    }
}

INSTANTIATE_TEST_SUITE_P(Protocols, UntouchedNode, ::testing::Range(0, int(kProtocolCount)), CaseName);
