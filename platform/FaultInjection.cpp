#include "platform/FaultInjection.h"

#include "platform/FaultInjectionFacilities.h"

namespace platform {

void FaultInjector::add(const Fault& fault) { planned_.push_back(Planned{fault, 0}); }

std::optional<Fault> FaultInjector::onCall(const char* operation, const std::string& detail) {
    if (observer_) observer_(operation, detail, log_.size() + 1);
    log_.emplace_back(operation);
    details_.push_back(detail);
    std::optional<Fault> fired;
    for (auto& planned : planned_) {
        const Fault& f = planned.fault;
        if (f.operation != "*" && f.operation != operation) continue;
        ++planned.seen;
        const bool due = planned.seen == f.nth || (f.persistent && planned.seen > f.nth);
        if (due && !fired) fired = f;
    }
    if (fired) ++injected_;
    return fired;
}

std::size_t FaultInjector::calls(const std::string& operation) const {
    if (operation == "*") return log_.size();
    std::size_t n = 0;
    for (const auto& name : log_) n += name == operation;
    return n;
}

FaultInjectingPlatform::FaultInjectingPlatform(Platform& inner)
    : facilities_(std::make_unique<Facilities>(inner, injector_)) {
    platform_ = facilities_->platform();
}

FaultInjectingPlatform::~FaultInjectingPlatform() = default;

}  // namespace platform
