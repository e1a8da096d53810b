// Serves MIB data to the stand-in agent: while this lives, KD_AGENT_DATA names a
// scratch data file and KD_AGENT_LOG a scratch log, in this process's environment and
// so in every child it starts.
#pragma once

#include "fixtures/mib_data.h"
#include "support/support.h"

#include <string>

class ScopedAgentData {
public:
    ScopedAgentData()
        : dir_("mib"), data_(dir_ / "mib.txt"), log_(dir_ / "agent-log.txt"),
          dataEnv_("KD_AGENT_DATA", data_.c_str()), logEnv_("KD_AGENT_LOG", log_.c_str())
    {
    }

    bool Serve(const MibData& data) const { return data.Write(data_); }

    // How often the agent was initialised since the fixture began.
    int Inits() const
    {
        std::string log = ReadFileBytes(log_);
        int count = 0;
        for (size_t at = log.find("init"); at != std::string::npos; at = log.find("init", at + 1))
            ++count;
        return count;
    }

    // Everything the agent logged: "init" per initialisation, "loaded errormode=<mode>"
    // per load.
    std::string Log() const { return ReadFileBytes(log_); }

    const ScratchDir& Dir() const { return dir_; }

private:
    ScratchDir dir_;
    std::string data_, log_;
    ScopedEnv dataEnv_, logEnv_;
};
