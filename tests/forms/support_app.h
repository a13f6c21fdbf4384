// The one QApplication of the forms tests (offscreen platform), made on
// first use; every forms test that needs widgets calls EnsureApplication().
#pragma once

class QApplication;

namespace testsupport {

QApplication& EnsureApplication();

}  // namespace testsupport
