#pragma once

// Without HOME (unset or empty, as under some service managers and cron) Qt takes "/" as the
// home folder and the documents folder becomes "/Documents". Sets HOME to the user's home
// folder from the password database then; a HOME that is set stays as it is. Must run before
// anything asks Qt for a standard folder.
void HeimordnerSetzen();
