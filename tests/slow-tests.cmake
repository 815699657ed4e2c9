# Read by ctest after the lists of gtest cases (tests/CMakeLists.txt).
# ctest starts the tests of a parallel run in order of their cost: that of
# the last run where it has one (CTestCostData.txt), else this COST. The
# cases below take seconds by design (the link's own time-outs and serial
# pacing, subnet scans, every panel of the node editor, many random nodes
# through it, thousands of JSON round trips); started first, they run beside
# the many short ones instead of ending the run alone. A case renamed or
# removed is simply not found here.
set(qst_slow_tests
    "Links/TransactBothLinks.SilenceUsesUpEveryAttempt/Tcp" 16
    "MainFrameDevice.EveryCommandWorksOverTheSerialPort" 12
    "QstDevice.ReadSavesWhatTheDeviceHolds" 9
    "NodeDialogTest.EveryProtocolAndPortCombination" 6
    "Protocols/UntouchedNode.OkStoresEveryByteAsLoaded/AnalogueAudioMaster" 9
    "Protocols/UntouchedNode.OkStoresEveryByteAsLoaded/Null" 8
    "Protocols/UntouchedNode.OkStoresEveryByteAsLoaded/S2Master" 8
    "Protocols/UntouchedNode.OkStoresEveryByteAsLoaded/S2Slave" 8
    "Protocols/UntouchedNode.OkStoresEveryByteAsLoaded/HostSlave" 7
    "Protocols/UntouchedNode.OkStoresEveryByteAsLoaded/HostMaster" 7
    "Protocols/UntouchedNode.OkStoresEveryByteAsLoaded/NTPClient" 7
    "Protocols/UntouchedNode.OkStoresEveryByteAsLoaded/GenisysMaster" 6
    "Transact.LateReplyOverTcpIsNotWaitedFor" 6
    "FindDevicesDialog.ScansAddToTheLogAndRefuseToNestOrEnd" 5
    "QstDevice.WriteSendsTheFile" 5
    "Transfer.LossyLegacyWriteAsksFirst" 5
    "JsonRoundTrip.RandomConfigurationsSeed1" 7
    "JsonRoundTrip.RandomConfigurationsSeed2" 7
    "JsonRoundTrip.RandomConfigurationsSeed3" 7
    "JsonRoundTrip.RandomConfigurationsSeed4" 7
    "JsonRoundTrip.AllBitsSet" 2
    "QstApply.EachDeviceEndsAsTheFileAndInventorySay" 3
    "QstApply.OlderDeviceLossOnlyWithYes" 3)
set(qst_all_tests ${qst_core_tests} ${qst_gui_shared_tests} ${qst_gui_keys_tests})
while(qst_slow_tests)
    list(POP_FRONT qst_slow_tests qst_name qst_cost)
    list(FIND qst_all_tests "${qst_name}" qst_found)
    if(qst_found GREATER -1)
        set_tests_properties("${qst_name}" PROPERTIES COST ${qst_cost})
    endif()
endwhile()
