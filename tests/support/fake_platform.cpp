#include "support/fake_platform.h"

QStringList FakePrompter::texts() const
{
    QStringList all;
    for (const Message& m : messages)
        all.append(m.text);
    return all;
}
