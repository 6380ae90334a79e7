#include "bus/BlockTransfer.h"
#include "ports/OpenPort.h"

#include "documents/Settings.h"
#include "host/Host.h"

namespace tqdt {

BlockTransfer::BlockTransfer(Host& host) : m_host(host) {}

void BlockTransfer::show(const Message& m)
{
    if (!m.text.isEmpty())
        m_host.dialogs().message(m.text, m.title, m.icon);
}

BlockTransfer::Result BlockTransfer::run(const Plan& plan)
{
    Result r;
    auto fail = [&](Outcome outcome, int code) {
        r.outcome = outcome;
        r.code = code;
    };
    if (plan.cancel)
        plan.cancel->reset();
    const Step prepared = plan.prepare ? plan.prepare() : Step::done();
    if (!prepared.ok)
        fail(prepared.port ? Outcome::PortError : Outcome::Failed, prepared.code);
    for (int n = 0; r.outcome == Outcome::Verified && n < plan.blocks; ++n) {
        if (plan.cancel) {
            m_host.yieldToUser();
            if (plan.cancel->requested()) {
                fail(Outcome::Cancelled, 0);
                break;
            }
        }
        if (plan.progress)
            plan.progress(n);
        if (const Step s = plan.block ? plan.block(n) : Step::done(); !s.ok)
            fail(Outcome::Failed, s.code);
        else
            r.blocksDone = n + 1;
    }
    if (r.outcome == Outcome::Verified && plan.verify)
        if (const Step s = plan.verify(); !s.ok)
            fail(Outcome::Failed, s.code);

    switch (r.outcome) {
    case Outcome::Verified: show(plan.messages.verified); break;
    case Outcome::Failed:
        if (plan.messages.failed)
            show(plan.messages.failed(r.code));
        break;
    case Outcome::Cancelled: show(plan.messages.cancelled); break;
    case Outcome::PortError: break; // the port's own box has said why
    }
    if (r.outcome != Outcome::Verified && plan.afterFailure)
        plan.afterFailure(r);
    if (plan.finish)
        plan.finish();
    return r;
}

Step BlockTransfer::compare(const QByteArray& hostChecksum, const std::optional<QByteArray>& deviceChecksum,
                            int noAnswerCode, int differsCode)
{
    if (!deviceChecksum)
        return Step::failed(noAnswerCode);
    return *deviceChecksum == hostChecksum ? Step::done() : Step::failed(differsCode);
}

bool ReopenPort(Host& host, SerialPort& port, const QString& lineSettings)
{
    if (port.isOpen())
        port.close();
    port.setSettings(lineSettings);
    return OpenPort(host, port);
}

} // namespace tqdt
