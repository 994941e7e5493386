// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/serialinbox.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace chronivel {
namespace {

class LoggingSink final : public ComEventSink {
public:
    void Deliver(const ComEventBatch& batch) override { log.push_back(std::to_string(batch.counter)); }
    void Lost(const std::string& reason) override { log.push_back("lost: " + reason); }
    std::vector<std::string> log;
};

class SerialInboxTest : public ::testing::Test {
protected:
    // The scheduler's queue: posted calls run when the test says.
    void RunPosted()
    {
        for (auto& call : std::exchange(posted, {})) call();
    }

    LoggingSink sink;
    std::vector<std::function<void()>> posted;
    std::shared_ptr<SerialInbox> inbox =
        std::make_shared<SerialInbox>(sink, [this](std::function<void()> call) { posted.push_back(std::move(call)); });
};

TEST_F(SerialInboxTest, BatchesReachTheSchedulerInOrderWithTheirMoment)
{
    inbox->Deliver({ev::Cts, ms::CtsOn, 1111});
    inbox->Deliver({ev::Dsr, ms::DsrOn, 2222});
    EXPECT_TRUE(sink.log.empty()) << "nothing runs on the event thread";
    RunPosted();
    EXPECT_EQ(sink.log, (std::vector<std::string>{"1111", "2222"}));
    RunPosted();
    EXPECT_EQ(sink.log.size(), 2u) << "each batch once";
}

TEST_F(SerialInboxTest, ALossComesAfterTheBatchesFoundBeforeIt)
{
    inbox->Deliver({ev::Rlsd, ms::RlsdOn, 9});
    inbox->Lost("");
    RunPosted();
    EXPECT_EQ(sink.log, (std::vector<std::string>{"9", "lost: the device is gone"}));
}

TEST_F(SerialInboxTest, WhatWasFoundBeforeCloseIsStillHandedOverAndNothingAfter)
{
    inbox->Deliver({ev::Cts, ms::CtsOn, 5});
    inbox->Lost("gone");
    inbox->Close();
    EXPECT_EQ(sink.log, std::vector<std::string>{"5"});
    RunPosted();
    EXPECT_EQ(sink.log, std::vector<std::string>{"5"});

    inbox->Deliver({ev::Cts, ms::CtsOn, 6});
    inbox.reset();
    RunPosted();  // must not touch the inbox that is gone
    EXPECT_EQ(sink.log, std::vector<std::string>{"5"});
}

}  // namespace
}  // namespace chronivel
