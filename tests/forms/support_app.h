// The one QApplication of the forms tests (offscreen platform), made on
// first use; every forms test that needs widgets calls EnsureApplication().
#ifndef LORIVANE_TESTS_FORMS_SUPPORT_APP_H
#define LORIVANE_TESTS_FORMS_SUPPORT_APP_H

class QApplication;

namespace testsupport {

QApplication& EnsureApplication();

}  // namespace testsupport

#endif
