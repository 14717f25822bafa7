#include "app/form1.h"

void TForm1::CreateVoicesSheet() {}
