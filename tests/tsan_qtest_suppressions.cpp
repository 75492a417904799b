// Linked into the device-link tests of ThreadSanitizer builds. Qt Test's watchdog thread is
// joined through Qt's own locks, which TSan cannot see, so its teardown reads as a race. These
// two patterns match only that teardown: the device link itself uses no QWaitCondition, and its
// threads never run code of the Qt Test library.
extern "C" const char* __tsan_default_suppressions();

extern "C" const char* __tsan_default_suppressions()
{
    return "race:QWaitCondition::~QWaitCondition\n"
           "called_from_lib:libQt6Test.so.6\n";
}
