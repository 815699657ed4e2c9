#include "editor/EditPanelFactory.h"

#include "editor/EditPortModem.h"
#include "editor/EditPortSpi.h"
#include "editor/EditPortSync.h"
#include "editor/EditPortUart.h"
#include "editor/EditPortUdpClient.h"
#include "editor/EditPortUdpServer.h"
#include "editor/EditProtocolAnalogueMaster.h"
#include "editor/EditProtocolControl.h"
#include "editor/EditProtocolGenisysMaster.h"
#include "editor/EditProtocolGenisysSlave.h"
#include "editor/EditProtocolHostSlave.h"
#include "editor/EditProtocolIoMaster.h"
#include "editor/EditProtocolNtpClient.h"
#include "editor/EditProtocolNull.h"
#include "editor/EditProtocolS2Slave.h"
#include "editor/EditProtocolUceMaster.h"
#include "editor/EditProtocolUceSlave.h"

EditProtocolPanel* CreateProtocolPanel(uint8_t protocol, wxWindow* parent)
{
    switch (protocol) {
    case PROTOCOL_CONTROL: return new EditProtocolControl(parent);
    case PROTOCOL_IO_MASTER: return new EditProtocolIoMaster(parent);
    case PROTOCOL_UCE_MASTER: return new EditProtocolUceMaster(parent);
    case PROTOCOL_UCE_SLAVE: return new EditProtocolUceSlave(parent);
    case PROTOCOL_S2_MASTER: return new EditProtocolS2Master(parent);
    case PROTOCOL_S2_SLAVE: return new EditProtocolS2Slave(parent);
    case PROTOCOL_GENISYS_MASTER: return new EditProtocolGenisysMaster(parent);
    case PROTOCOL_GENISYS_SLAVE: return new EditProtocolGenisysSlave(parent);
    case PROTOCOL_HOST_MASTER: return new EditProtocolHostMaster(parent);
    case PROTOCOL_HOST_SLAVE: return new EditProtocolHostSlave(parent);
    case PROTOCOL_NTP_CLIENT: return new EditProtocolNtpClient(parent);
    case PROTOCOL_ANALOGUE_MASTER: return new EditProtocolAnalogueMaster(parent);
    case PROTOCOL_NULL: return new EditProtocolNull(parent);
    default: return nullptr;
    }
}

EditPortPanel* CreatePortPanel(uint8_t portType, wxWindow* parent)
{
    switch (portType) {
    case PORT_TCP_SERVER: return new EditPortTcpServer(parent);
    case PORT_TCP_CLIENT: return new EditPortTcpClient(parent);
    case PORT_UDP_SERVER: return new EditPortUdpServer(parent);
    case PORT_UDP_CLIENT: return new EditPortUdpClient(parent);
    case PORT_ASYNC_SERIAL: return new EditPortUart(parent);
    case PORT_SYNC_SERIAL: return new EditPortSync(parent);
    case PORT_MODEM: return new EditPortModem(parent);
    case PORT_SPI: return new EditPortSpi(parent);
    default: return nullptr;
    }
}
