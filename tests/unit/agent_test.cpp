// The agent object's life with each stand-in agent: the start codes, the guarded
// forwarders, and the library released again when the agent goes.
#include "mib/agent.h"
#include "support/agent_data.h"

#include <gtest/gtest.h>

TEST(MibAgent, StartCodesFollowWhatTheLibraryOffers)
{
    ScopedAgentData agentData;
    MibData data;
    data.InterfaceCount(0);
    ASSERT_TRUE(agentData.Serve(data));
    struct Case { std::string library; bool loaded; int start; int inits; } cases[] = {
        {AgentPath("full"), true, 0, 1},
        {AgentPath("noquery"), true, 0, 2},
        {AgentPath("noinit"), true, -3, 2},    // no SnmpExtensionInit: nothing called
        {AgentPath("refuse"), true, -3, 3},
        {AgentPath("absent"), false, -1, 3},
    };
    for (const Case& c : cases) {
        MibAgent agent(c.library.c_str());
        EXPECT_EQ(c.loaded, agent.IsLoaded()) << c.library;
        EXPECT_EQ(c.start, agent.Start()) << c.library;
        EXPECT_EQ(c.inits, agentData.Inits()) << c.library;
    }
}

TEST(MibAgent, ForwardersAnswerFalseWithoutTheirEntry)
{
    ScopedAgentData agentData;
    MibData data;
    data.InterfaceCount(3);
    ASSERT_TRUE(agentData.Serve(data));

    SnmpVarBind varBind = {};
    varBind.value.asnType = ASN_NULL;
    SnmpVarBindList list = {&varBind, 1};
    AsnInteger32 status = 0, index = 0;
    {
        MibAgent missing(AgentPath("absent").c_str());
        HANDLE trap = nullptr;
        AsnObjectIdentifier region = {0, nullptr};
        EXPECT_FALSE(missing.Init(0, &trap, &region));
        EXPECT_FALSE(missing.Query(SNMP_PDU_GETNEXT, &list, &status, &index));
    }
    {
        MibAgent noQuery(AgentPath("noquery").c_str());
        ASSERT_EQ(0, noQuery.Start());
        EXPECT_FALSE(noQuery.Query(SNMP_PDU_GETNEXT, &list, &status, &index));
        // The ifNumber query fails, so the walk announces no rows and makes no tables.
        EXPECT_EQ(0, noQuery.WalkTables(IncludeEmptyFlag));
        EXPECT_EQ(0u, noQuery.Tables().rowCount);
        EXPECT_EQ(nullptr, noQuery.Tables().records);
    }
    {
        MibAgent full(AgentPath("full").c_str());
        ASSERT_EQ(0, full.Start());
        EXPECT_TRUE(full.Query(SNMP_PDU_GETNEXT, &list, &status, &index));
        ASSERT_EQ(ASN_INTEGER, varBind.value.asnType);
        EXPECT_EQ(3, varBind.value.asnValue.number);
        FreeVarBind(&varBind);
    }
}

TEST(MibAgent, TheLibraryIsReleasedWithTheAgent)
{
    std::string path = AgentPath("full");
    {
        MibAgent agent(path.c_str());
        ASSERT_TRUE(agent.IsLoaded());
        EXPECT_NE(nullptr, GetModuleHandleA(path.c_str()));
    }
    EXPECT_EQ(nullptr, GetModuleHandleA(path.c_str()));
}
