#include "generator/session.h"

#include "generator/learned_copy.h"

namespace zorvane {
namespace {

// One learned state: the learned data itself is shared by the states that
// differ only in `Learned` or the status line.
struct LearnedStateCopy : AttachedCopy {
    std::shared_ptr<const LearnedCopy> Data;
    bool Learned = false;
    std::string Status;
    std::size_t OwnBytes = 0;  // the data, when this state brought it
    std::size_t Bytes() const override { return sizeof(LearnedStateCopy) + Status.size() + OwnBytes; }
};

class LearnedStateRecorder : public AttachedData {
public:
    LearnedStateRecorder(MapGenerator& generator, GeneratorSession& session) : generator_(generator), session_(session) {}

    std::shared_ptr<const AttachedCopy> Capture(const std::shared_ptr<const AttachedCopy>& last) const override {
        const auto* before = static_cast<const LearnedStateCopy*>(last.get());
        const bool sameData = before && Holds(generator_, *before->Data);
        if (sameData && before->Learned == generator_.Learned) return last;
        auto copy = std::make_shared<LearnedStateCopy>();
        copy->Learned = generator_.Learned;
        copy->Status = session_.Status();
        if (sameData) {
            copy->Data = before->Data;
        } else {
            copy->Data = std::make_shared<const LearnedCopy>(CopyOf(generator_));
            copy->OwnBytes = copy->Data->Bytes();
        }
        return copy;
    }
    void Restore(const AttachedCopy& copy) override {
        const auto& state = static_cast<const LearnedStateCopy&>(copy);
        zorvane::Restore(generator_, *state.Data);
        generator_.Learned = state.Learned;
        session_.SetStatus(state.Status);
    }

private:
    MapGenerator& generator_;
    GeneratorSession& session_;
};

}  // namespace

GeneratorSession::GeneratorSession() : learnedState_(std::make_unique<LearnedStateRecorder>(generator_, *this)) {}

GeneratorSession::~GeneratorSession() = default;

void GeneratorSession::SetStatus(std::string_view text) {
    status_ = text;
    if (statusShown_) statusShown_(status_);
}

}  // namespace zorvane
