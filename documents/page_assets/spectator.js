// Keeps the spectators' page up to date: reads /race.json twice a second and
// redraws what changed. The page works the same with any number of readers.
(function () {
  'use strict';
  var REFRESH_MS = 500;
  var lastText = null;

  function byId(id) { return document.getElementById(id); }

  function cell(row, tag, text, className) {
    var element = document.createElement(tag);
    element.textContent = text;
    if (className) element.className = className;
    row.appendChild(element);
  }

  function renderStandings(standings) {
    var body = document.createElement('tbody');
    body.id = 'standings';
    standings.forEach(function (p) {
      var row = document.createElement('tr');
      cell(row, 'td', p.place, 'place');
      cell(row, 'td', p.id, 'id');
      cell(row, 'td', p.name, 'name');
      cell(row, 'td', p.laps, 'laps');
      cell(row, 'td', p.time, 'time');
      cell(row, 'td', p.lap, 'lap');
      cell(row, 'td', p.best, 'best');
      body.appendChild(row);
    });
    byId('standings').replaceWith(body);
  }

  function renderLapHistory(history) {
    var table = document.createElement('table');
    table.className = 'laps';
    table.id = 'laps';
    var head = document.createElement('thead');
    var ids = document.createElement('tr');
    var names = document.createElement('tr');
    cell(ids, 'th', 'Lap', 'lapno');
    cell(names, 'th', '', 'lapno');
    history.columns.forEach(function (c) {
      cell(ids, 'th', c.id);
      cell(names, 'th', c.name);
    });
    head.appendChild(ids);
    head.appendChild(names);
    table.appendChild(head);
    var flagged = {};
    (history.short || []).forEach(function (at) { flagged[at[0] + ',' + at[1]] = true; });
    var body = document.createElement('tbody');
    history.rows.forEach(function (r, rowIndex) {
      var row = document.createElement('tr');
      r.forEach(function (text, i) {
        var className = i === 0 ? 'lapno' : (flagged[rowIndex + ',' + i] ? 'short' : '');
        cell(row, i === 0 ? 'th' : 'td', text, className);
      });
      body.appendChild(row);
    });
    table.appendChild(body);
    byId('laps').replaceWith(table);
  }

  function render(race) {
    byId('lamp').style.background = race.lamp;
    byId('status').textContent = race.status;
    byId('provisional').textContent = race.provisional ? '暫定' : '';
    byId('elapsed').textContent = race.elapsed;
    byId('remaining').textContent = race.remaining;
    byId('comment').textContent = race.comment;
    renderStandings(race.standings);
    renderLapHistory(race.lapHistory);
  }

  function poll() {
    fetch('race.json', { cache: 'no-cache' })
      .then(function (response) {
        if (!response.ok) throw new Error(response.status);
        return response.text();
      })
      .then(function (text) {
        byId('notice').textContent = '';
        if (text !== lastText) {
          lastText = text;
          render(JSON.parse(text));
        }
      })
      .catch(function () { byId('notice').textContent = '接続が切れています。再接続しています…'; })
      .then(function () { setTimeout(poll, REFRESH_MS); });
  }

  poll();
})();
